#pragma once
// Logging without a window: the meter's port or USB bridge opened through the same
// components the window uses (TCommPortDriver with its 50 ms poll and the window's line
// settings, or UsbLink on its 10 ms tick), the same assembler and decoder, and the same
// INDataToTable rules, with the sampling countdown ticking once a second.
#include "app/recorder/RecordOptions.h"
#include "links/SiUsbLibrary.h"
#include "log/ChartFeed.h"
#include "log/LogStore.h"
#include "log/MeasurementLog.h"
#include "protocol/FrameAssembler.h"
#include "protocol/ReadingDecoder.h"

#include <QObject>
#include <QTimer>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>

namespace varnex {

class LinkReconnector;
class TCommPortDriver;
class UsbLink;
class SiUsbLibrary;

class MeterRecorder : public QObject {
public:
    // `usbLibrary` is used with options.usb; null means the machine's CP210x ttys.
    MeterRecorder(const RecordOptions& options, std::FILE* messages,
                  std::unique_ptr<SiUsbLibrary> usbLibrary = nullptr);
    ~MeterRecorder() override;

    // Opens the port (or the USB device) and starts logging. False with the reason in
    // *error when the link cannot be opened.
    bool start(std::string* error);
    // Closes the link; the table keeps its rows.
    void stop();

    MeasurementLog& log() { return *log_; }
    LogStore& table() { return table_; }
    std::uint64_t framesDecoded() const { return decoded_; }
    // Told when the link is lost and when it is back (for the journal's run events).
    std::function<void(const std::string& cause)> onLinkLost;
    std::function<void()> onLinkBack;

private:
    void onFrame(const std::string& frameText);
    bool startSerial(std::string* error);
    bool startUsb(std::string* error);
    void linkLost(const std::string& cause);

    // No chart without a window: points are dropped.
    class NoChart final : public ChartFeed {
    public:
        void AddPoint(double) override {}
        void ClearPoints() override {}
        int CurrentPage() const override { return 1; }
    };

    RecordOptions options_;
    std::FILE* messages_;
    LogStore table_;
    NoChart chart_;
    std::unique_ptr<MeasurementLog> log_;
    ReadingDecoder decoder_;
    FrameAssembler assembler_;
    std::unique_ptr<TCommPortDriver> comm_;
    std::unique_ptr<SiUsbLibrary> usbLibrary_;
    std::unique_ptr<UsbLink> usb_;
    std::unique_ptr<LinkReconnector> reconnect_;
    QTimer usbTick_;
    QTimer trecord_;
    std::uint64_t decoded_ = 0;
};

} // namespace varnex
