#include "links/LinkReconnector.h"

namespace varnex {

LinkReconnector::LinkReconnector(std::function<bool()> tryOpen, int intervalMs, QObject* parent)
    : QObject(parent), tryOpen_(std::move(tryOpen))
{
    timer_.setInterval(intervalMs);
    connect(&timer_, &QTimer::timeout, this, [this] { attempt(); });
}

void LinkReconnector::linkLost(const std::string& cause)
{
    cause_ = cause;
    if (timer_.isActive())
        return;
    attempts_ = 0;
    timer_.start();
}

void LinkReconnector::stop()
{
    timer_.stop();
}

void LinkReconnector::attempt()
{
    ++attempts_;
    if (!tryOpen_ || !tryOpen_())
        return;
    timer_.stop();
    if (onRecovered)
        onRecovered(attempts_);
}

} // namespace varnex
