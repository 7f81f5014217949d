#pragma once
// Brings a lost link back by itself: once the port or the USB bridge went away, the same
// port is tried again every second (by its path, so a re-enumerated /dev/ttyUSB0 or a
// /dev/serial/by-id/... link comes back) until it opens or the user gives up. No box per
// try; the owner hears of the loss and of the recovery once each.
#include <QObject>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <string>

namespace varnex {

class LinkReconnector : public QObject {
public:
    // `tryOpen` opens the link again without asking anything; true when it is open.
    explicit LinkReconnector(std::function<bool()> tryOpen, int intervalMs = 1000, QObject* parent = nullptr);

    // The link was lost: retries start (a second loss while retrying changes nothing).
    void linkLost(const std::string& cause);
    // The user ended the connection: no more tries.
    void stop();

    bool retrying() const { return timer_.isActive(); }
    std::uint32_t attempts() const { return attempts_; }
    const std::string& lastCause() const { return cause_; }

    // Told after the try that opened the link again, with the number of tries it took.
    std::function<void(std::uint32_t attempts)> onRecovered;

private:
    void attempt();

    std::function<bool()> tryOpen_;
    QTimer timer_;
    std::uint32_t attempts_ = 0;
    std::string cause_;
};

} // namespace varnex
