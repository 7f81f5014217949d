// A logging core in a process of its own, for the tests that kill it or starve its disk:
// readings go through INDataToTable into the table and the journal, one every 2 ms. Each
// logged row is reported on stdout as "ROW <No> <utc ms>" once INDataToTable has returned.
//   journal_stream_child DIR [--rows N] [--file-size-limit BYTES] [--as-nobody 1]
// With --rows it ends cleanly after N rows (the journal drains and closes the run);
// otherwise it logs until it is killed.
#include "app/journal/Journal.h"
#include "log/LogStore.h"
#include "log/MeasurementLog.h"

#include <QCoreApplication>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace {

class NoChart : public varnex::ChartFeed {
public:
    void AddPoint(double) override {}
    void ClearPoints() override {}
    int CurrentPage() const override { return 1; }
};

void Say(const std::string& line)
{
    // One write per line: a kill never leaves half a line that looks whole.
    const std::string text = line + "\n";
    (void)!::write(1, text.data(), text.size());
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    long rows = -1;
    for (int i = 2; i + 1 < argc; i += 2) {
        if (std::strcmp(argv[i], "--rows") == 0)
            rows = std::atol(argv[i + 1]);
        if (std::strcmp(argv[i], "--file-size-limit") == 0) {
            // A disk that fills up: writes past the limit fail with EFBIG, as on a full disk.
            std::signal(SIGXFSZ, SIG_IGN);
            rlimit limit{};
            limit.rlim_cur = limit.rlim_max = static_cast<rlim_t>(std::atoll(argv[i + 1]));
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        // Permissions mean nothing to root: a read-only folder needs an ordinary user.
        if (std::strcmp(argv[i], "--as-nobody") == 0 && ::geteuid() == 0) {
            if (::setgid(65534) != 0 || ::setuid(65534) != 0)
                return 3;
        }
    }
    QCoreApplication app(argc, argv);
    varnex::LogStore table;
    NoChart chart;
    varnex::MeasurementLog log(table, chart, [] { return std::string("12:00:00"); });
    std::int64_t lastUtc = 0;
    log.setUtcClock([&lastUtc] { return lastUtc = varnex::SystemUtcMs(); });
    log.RecordLimits().Select(5); // "limitless"
    {
        varnex::Journal journal(QString::fromLocal8Bit(argv[1]));
        journal.setOnOpened([&](const std::optional<varnex::RecoveryOffer>&) {
            Say("OPENED " + std::to_string(journal.runId()));
        });
        journal.setOnFailed([](const QString& reason) { Say("FAILED " + reason.toStdString()); });
        log.addListener(&journal);
        varnex::Reading reading;
        reading.FunctionText = "DCV";
        reading.UnitText = "V";
        for (long i = 0; rows < 0 || i < rows; ++i) {
            reading.ValueText = std::to_string(1 + i % 9) + "." + std::to_string(10000 + i % 90000);
            const varnex::LogResult result = log.INDataToTable(reading);
            if (result.logged())
                Say("ROW " + std::to_string(log.NextRecordNo() - 1) + " " + std::to_string(lastUtc));
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        // Let the failure callback (if any) be told before the journal goes.
        for (int i = 0; i < 50; ++i) {
            QCoreApplication::processEvents();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        log.removeListener(&journal);
    }
    Say("CLOSED");
    return 0;
}
