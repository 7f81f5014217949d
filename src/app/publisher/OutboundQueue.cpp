#include "app/publisher/OutboundQueue.h"

#include <algorithm>

namespace varnex {

OutboundQueue::OutboundQueue(std::size_t capacity, std::size_t window)
    : capacity_(std::max<std::size_t>(capacity, 2)),
      window_(std::clamp<std::size_t>(window, 1, capacity_ - 1))
{
}

bool OutboundQueue::push(std::string payload)
{
    bool kept = true;
    if (size() >= capacity_ && !waiting_.empty()) {
        waiting_.pop_front();
        ++dropped_;
        kept = false;
    }
    waiting_.push_back(std::move(payload));
    return kept;
}

std::string OutboundQueue::take()
{
    std::string payload = std::move(waiting_.front());
    waiting_.pop_front();
    ++awaiting_;
    return payload;
}

void OutboundQueue::sent(int mid)
{
    if (earlyAcks_.erase(mid) > 0) {
        --awaiting_;
        ++delivered_;
        return;
    }
    inFlight_.insert(mid);
}

void OutboundQueue::unsent(std::string payload)
{
    --awaiting_;
    waiting_.push_front(std::move(payload));
}

void OutboundQueue::acknowledged(int mid)
{
    if (inFlight_.erase(mid) > 0) {
        --awaiting_;
        ++delivered_;
        return;
    }
    earlyAcks_.insert(mid);
}

} // namespace varnex
