#include "cli/RecordCommand.h"

#include "cli/LogCommand.h"

#include "app/journal/Journal.h"
#include "app/publisher/MqttPublisher.h"
#include "app/publisher/MqttUrl.h"
#include "app/recorder/MeterRecorder.h"
#include "app/recorder/RecordOptions.h"
#include "app/recorder/RowLinePrinter.h"
#include "app/shutdown/ShutdownSignals.h"
#include "log/files/LogFileService.h"

#include <QCoreApplication>
#include <QString>

#include <chrono>
#include <csignal>
#include <memory>

namespace varnex::cli {

const char* const kRecordUsage =
    "record --port PATH | --usb [--limit N] [--interval S] [--no-repeat] [--separator C] "
    "[--mqtt URL] [--data-dir DIR] [-o OUT]   log from the meter until SIGINT/SIGTERM";

namespace {

constexpr int kExitCannotOpen = 1;

// record needs an event loop for the links' timers; the CLI has none of its own.
std::unique_ptr<QCoreApplication> EnsureEventLoop()
{
    if (QCoreApplication::instance())
        return nullptr;
    static int argc = 1;
    static char name[] = "varnex-cli";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QCoreApplication>(argc, argv);
}

} // namespace

int RunRecord(const std::vector<std::string>& args, const CommandIo& io)
{
    RecordOptions options;
    if (!ParseRecordOptions(args, options, io.err)) {
        std::fprintf(io.err, "usage: varnex-cli %s\n", kRecordUsage);
        return kExitUsage;
    }
    const std::unique_ptr<QCoreApplication> app = EnsureEventLoop();

    MeterRecorder recorder(options, io.err);
    RowLinePrinter printer(io.out);
    recorder.log().addListener(&printer);
    // Every row is journaled on the journal's own thread; a journal that cannot be
    // written is said once and recording goes on in memory.
    Journal journal(JournalDataDir(QString::fromLocal8Bit(options.dataDir.c_str())));
    journal.setOnFailed([&io](const QString& reason) {
        std::fprintf(io.err, "varnex-cli record: %s\n", JournalFailureMessage(reason).toLocal8Bit().constData());
        std::fflush(io.err);
    });
    recorder.log().addListener(&journal);

    // --mqtt: every reading also goes to the broker, which never holds up the recording;
    // its state changes are told on standard error, one line each.
    std::unique_ptr<MqttPublisher> publisher;
    if (!options.mqttUrl.empty()) {
        std::string why;
        const std::optional<MqttUrl> url = ParseMqttUrl(options.mqttUrl, &why);
        if (!url) {
            std::fprintf(io.err, "varnex-cli record: --mqtt: %s\n", why.c_str());
            return kExitUsage;
        }
        PublisherOptions publisherOptions;
        publisherOptions.onStateChange = [&io, u = *url](const PublisherStatus& status) {
            std::fprintf(io.err, "varnex-cli record: %s\n", DescribePublisherStatus(u, status).c_str());
            std::fflush(io.err);
        };
        publisher = std::make_unique<MqttPublisher>(*url, publisherOptions);
        recorder.log().addListener(publisher.get());
    }
    // The gap of a pulled cable shows in the journal's run.
    recorder.onLinkLost = [&journal](const std::string& cause) { journal.linkEvent("link_lost", cause); };
    recorder.onLinkBack = [&journal] { journal.linkEvent("link_back", ""); };

    std::string error;
    if (!recorder.start(&error)) {
        std::fprintf(io.err, "varnex-cli record: cannot open %s\n", error.c_str());
        return kExitCannotOpen;
    }
    std::fprintf(io.err, "varnex-cli record: recording from %s; stop with Ctrl+C\n",
                 options.usb ? "the USB device" : options.port.c_str());

    int stopSignal = 0;
    ShutdownSignals shutdown;
    QObject::connect(&shutdown, &ShutdownSignals::shutdownRequested, [&](int signal) {
        stopSignal = signal;
        QCoreApplication::exit(0);
    });
    QCoreApplication::exec();
    recorder.stop();
    recorder.log().removeListener(&printer);
    recorder.log().removeListener(&journal);
    if (publisher) {
        recorder.log().removeListener(publisher.get());
        // What the broker has not acknowledged yet gets a moment to go out.
        publisher->waitUntilDelivered(std::chrono::seconds(2));
    }

    int code = kExitOk;
    if (!options.out.empty()) {
        const SaveResult saved = SaveTableToFile(recorder.table(), QString::fromLocal8Bit(options.out.c_str()));
        std::fprintf(io.err, "varnex-cli record: %s\n", saved.message.toLocal8Bit().constData());
        if (saved.ok)
            journal.markSaved(); // the run's rows are in OUT: nothing to recover
        else
            code = kExitFileFailed;
    }
    std::fprintf(io.err, "varnex-cli record: %zu readings logged (%s)\n", recorder.table().size(),
                 stopSignal == SIGINT ? "interrupted" : stopSignal == SIGTERM ? "terminated" : "stopped");
    return code;
}

} // namespace varnex::cli
