#pragma once
// The serial component's line on POSIX: PosixSerialPlatform on the slave of a real
// pseudo-terminal pair, the test playing the meter on the master.
#include "PtyPair.h"
#include "links/LinuxCustomBaud.h"
#include "links/PosixSerialPlatform.h"
#include "links/QtPollTimer.h"

#include <QCoreApplication>

#include <cstdint>
#include <memory>
#include <string>
#include <sys/ioctl.h>

namespace varnex::testing {

class PosixPtyLine {
public:
    static std::string Name() { return "PosixPty"; }

    bool ready(std::string& why) const
    {
        why = "no pseudo-terminals on this machine";
        return pty_.ok();
    }
    std::unique_ptr<SerialPlatform> makePlatform()
    {
        auto owned = std::make_unique<PosixSerialPlatform>();
        platform_ = owned.get();
        pointCom1AtMeter();
        return owned;
    }
    std::unique_ptr<PollTimer> makePollTimer() { return std::make_unique<QtPollTimer>(); }
    void pointCom1AtMissingDevice() { platform_->names().setOverride(pnCOM1, "/nonexistent/ttyVarnex"); }
    void pointCom1AtMeter() { platform_->names().setOverride(pnCOM1, pty_.slavePath()); }
    std::string lastError() const { return platform_->lastError(); }
    std::string devicePath() const { return platform_->devicePath(); }
    std::string meterDevicePath() const { return pty_.slavePath(); }
    std::intptr_t nativeHandle() const { return platform_->fileDescriptor(); }
    bool rivalCanOpenCom1() const
    {
        PosixSerialPlatform rival;
        rival.names().setOverride(pnCOM1, pty_.slavePath());
        return rival.open("COM1");
    }
    bool systemRefusesASecondOpen(std::string&) const { return true; } // TIOCEXCL and flock
    int bytesWaiting() const
    {
        int waiting = 0;
        return ioctl(platform_->fileDescriptor(), FIONREAD, &waiting) == 0 ? waiting : 0;
    }
    std::uint32_t currentBaud() const { return ReadBaudRate(platform_->fileDescriptor()); }
    void meterSends(const std::vector<std::uint8_t>& bytes) const { pty_.meterSends(bytes); }
    std::vector<std::uint8_t> meterReceives(std::size_t count, int timeoutMs = 1000) const
    {
        return pty_.meterReceives(count, timeoutMs);
    }
    void pumpEvents(int milliseconds) const
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
        do {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        } while (std::chrono::steady_clock::now() < deadline);
    }

private:
    PtyPair pty_;
    PosixSerialPlatform* platform_ = nullptr;
};

} // namespace varnex::testing
