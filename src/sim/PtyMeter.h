#pragma once
// The simulated meter on a pseudo-terminal: the program opens slavePath() as its serial port
// and gets the meter's frames through the real termios path, and its key commands come back.
//
// A worker thread sends a frame every 300-500 ms, byte by byte at the pace of 9600 baud, and
// reads the key commands the program writes. While no program has the port open the frames
// are dropped, as on a cable with nobody listening, so a program that connects later never
// gets a backlog of old readings.
#include "sim/FramePacer.h"
#include "sim/KeyCommandParser.h"
#include "sim/MeterKey.h"
#include "sim/SharedMeter.h"

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>

namespace varnex::sim {

struct PtyMeterOptions {
    std::uint32_t paceSeed = 3;
    SimTime minimumGap = std::chrono::milliseconds(300);
    SimTime maximumGap = std::chrono::milliseconds(500);
    bool paceBytes = true;                    // false: each frame's 21 bytes in one write
    std::function<void(MeterKey)> onKey;      // called on the worker thread for each command
};

class PtyMeter {
public:
    // Opens the pseudo-terminal and starts streaming. Throws std::system_error when the
    // system has no pseudo-terminal to give.
    explicit PtyMeter(std::shared_ptr<SharedMeter> meter, PtyMeterOptions options = {});
    ~PtyMeter();

    PtyMeter(const PtyMeter&) = delete;
    PtyMeter& operator=(const PtyMeter&) = delete;

    // The device the program opens as its COM port, e.g. "/dev/pts/3".
    const std::string& slavePath() const { return slavePath_; }

    // Stops the worker (also done by the destructor); the device stays until destruction.
    void Stop();

    std::size_t FramesSent() const { return framesSent_.load(); }
    std::size_t FramesDropped() const { return framesDropped_.load(); }
    std::size_t KeysReceived() const { return keysReceived_.load(); }

private:
    void Run();
    bool ProgramHasPortOpen() const;
    void SendFrame();
    void ReadKeys();
    bool WaitUntil(std::chrono::steady_clock::time_point deadline);

    std::shared_ptr<SharedMeter> meter_;
    PtyMeterOptions options_;
    FramePacer pacer_;
    KeyCommandParser keys_;  // worker thread only
    int masterFd_ = -1;
    int wakeRead_ = -1;
    int wakeWrite_ = -1;
    std::string slavePath_;
    std::atomic<bool> stopping_{false};
    std::atomic<std::size_t> framesSent_{0};
    std::atomic<std::size_t> framesDropped_{0};
    std::atomic<std::size_t> keysReceived_{0};
    std::thread worker_;
};

} // namespace varnex::sim
