#include "app/recorder/MeterRecorder.h"

#include "links/ConnectionWiring.h"
#include "links/Cp210xTtyLibrary.h"
#include "links/LinkDiagnostics.h"
#include "links/LinkReconnector.h"
#include "links/PosixSerialPlatform.h"
#include "links/SerialPortNames.h"
#include "links/TCommPortDriver.h"
#include "links/UsbLink.h"
#include "log/RecordLimitMenu.h"


namespace varnex {


MeterRecorder::MeterRecorder(const RecordOptions& options, std::FILE* messages,
                             std::unique_ptr<SiUsbLibrary> usbLibrary)
    : options_(options), messages_(messages), decoder_(options.separator), usbLibrary_(std::move(usbLibrary))
{
    log_ = std::make_unique<MeasurementLog>(table_, chart_);
    // Limits between the Record menu's values are applied in onFrame, exactly as the
    // rules refuse at their own limit.
    log_->RecordLimits().SelectByName("limitess");
    log_->Sampling().RepeatSet = options.repeat;
    log_->Sampling().RecordSI = !options.interval.empty();
    if (!options.interval.empty())
        log_->Sampling().RecordSITimeChange(options.interval);
    log_->setDecimalSeparator(options.separator);
    assembler_.SetFrameHandler([this](const std::string& frameText) { onFrame(frameText); });

    trecord_.setInterval(1000);
    connect(&trecord_, &QTimer::timeout, this, [this] { log_->Sampling().TrecordTimer(); });
    usbTick_.setInterval(10);
    connect(&usbTick_, &QTimer::timeout, this, [this] {
        if (usb_)
            usb_->Timer1Timer();
    });
}

MeterRecorder::~MeterRecorder()
{
    stop();
}

void MeterRecorder::onFrame(const std::string& frameText)
{
    const DecodeResult& result = decoder_.Decode(frameText);
    if (!result.decoded)
        return;
    ++decoded_;
    if (log_->LoggedCount() < options_.limit)
        log_->INDataToTable(result.reading);
}

bool MeterRecorder::start(std::string* error)
{
    const bool ok = options_.usb ? startUsb(error) : startSerial(error);
    if (ok)
        trecord_.start();
    return ok;
}

bool MeterRecorder::startSerial(std::string* error)
{
    SerialPortNames names;
    names.setOverride(pnCOM1, options_.port);
    comm_ = std::make_unique<TCommPortDriver>(std::make_unique<PosixSerialPlatform>(names));
    ApplyComm2Defaults(*comm_);
    comm_->SetComPort(pnCOM1);
    comm_->SetOnReceiveData([this](TCommPortDriver*, const std::uint8_t* data, int size) {
        if (size > 0)
            assembler_.VarnexData(data, std::size_t(size));
    });
    comm_->SetOnPortLost([this](TCommPortDriver*, const std::string& cause) { linkLost(cause); });
    reconnect_ = std::make_unique<LinkReconnector>([this] { return comm_->Connect(); });
    reconnect_->onRecovered = [this](std::uint32_t attempts) {
        std::fprintf(messages_, "varnex-cli record: %s is back (after %u tries); logging goes on\n",
                     options_.port.c_str(), attempts);
        std::fflush(messages_);
        if (onLinkBack)
            onLinkBack();
    };
    if (comm_->Connect())
        return true;
    if (error) {
        // The platform's own cause ("/dev/ttyUSB0: Permission denied") and the hint a
        // Linux user needs (the dialout group, /dev/serial/by-id/...).
        *error = comm_->LastError().empty() ? options_.port : comm_->LastError();
        const std::string hint = OpenFailureHint(comm_->LastErrorNumber());
        if (!hint.empty())
            *error += "; " + hint;
    }
    comm_.reset();
    return false;
}

bool MeterRecorder::startUsb(std::string* error)
{
    if (!usbLibrary_)
        usbLibrary_ = std::make_unique<Cp210xTtyLibrary>();
    usb_ = std::make_unique<UsbLink>(*usbLibrary_);
    std::string firstMessage;
    bool gaveUp = false;
    usb_->setFrameSink(UsbFrameSink{
        [this](std::uint8_t b) { return assembler_.AddUsbByte(b); },
        [this] { assembler_.ResetUsbFrame(); },
    });
    usb_->setUi(UsbLinkUi{
        [&firstMessage](const std::string& text) {
            if (firstMessage.empty())
                firstMessage = text;
        },
        [&gaveUp] { gaveUp = true; },
        [&gaveUp] { gaveUp = true; },
    });
    usb_->usb_dllClick();
    if (!gaveUp && usb_->UsbOpen()) {
        // From here on the open sequence's callbacks are gone: messages go to stderr.
        usb_->setUi(UsbLinkUi{
            [this](const std::string& text) { std::fprintf(messages_, "varnex-cli record: %s\n", text.c_str()); },
            [] {},
            [] {},
        });
        usb_->setOnDeviceLost([this](const std::string& cause) { linkLost(cause); });
        reconnect_ = std::make_unique<LinkReconnector>([this] { return usb_->Reopen(); });
        reconnect_->onRecovered = [this](std::uint32_t attempts) {
            std::fprintf(messages_, "varnex-cli record: the USB bridge is back (after %u tries); logging goes on\n",
                         attempts);
            std::fflush(messages_);
            if (onLinkBack)
                onLinkBack();
        };
        usbTick_.start();
        return true;
    }
    if (error)
        *error = firstMessage.empty() ? std::string(kUsbNotFoundMessage) : firstMessage;
    usb_->Close();
    usb_.reset();
    return false;
}

void MeterRecorder::linkLost(const std::string& cause)
{
    std::fprintf(messages_, "varnex-cli record: the link was lost: %s; trying again every second\n",
                 cause.c_str());
    std::fflush(messages_);
    if (onLinkLost)
        onLinkLost(cause);
    reconnect_->linkLost(cause);
}

void MeterRecorder::stop()
{
    if (reconnect_)
        reconnect_->stop();
    trecord_.stop();
    usbTick_.stop();
    if (comm_)
        comm_->Disconnect();
    if (usb_)
        usb_->Close();
}

} // namespace varnex
