#pragma once
// The readings on their way to the broker: waiting ones in arrival order, and the ones
// handed to the client library whose acknowledgement (PUBACK) has not come yet. Both count
// against one capacity; when it is full the oldest waiting reading makes room and is
// counted as dropped. Not thread-safe: the publisher guards it.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <unordered_set>

namespace varnex {

class OutboundQueue {
public:
    // `window`: the most readings awaiting their acknowledgement at once (at least 1,
    // and below `capacity` so that a full queue always has a waiting reading to drop).
    OutboundQueue(std::size_t capacity, std::size_t window);

    // Returns false when the oldest waiting reading was dropped to make room.
    bool push(std::string payload);

    // A waiting reading can go out now.
    bool canSend() const { return !waiting_.empty() && awaiting_ < window_; }
    // Takes the oldest waiting reading for sending; it counts as awaiting from now on.
    std::string take();
    // The library took the reading under `mid`.
    void sent(int mid);
    // The library refused it: it goes back to the head of the line.
    void unsent(std::string payload);
    // The broker acknowledged `mid`. Unknown ids (an acknowledgement that overtook
    // sent()) are kept and matched when sent() comes.
    void acknowledged(int mid);

    std::size_t waiting() const { return waiting_.size(); }
    std::size_t awaiting() const { return awaiting_; }
    std::size_t size() const { return waiting_.size() + awaiting_; }
    bool empty() const { return size() == 0; }
    std::uint64_t dropped() const { return dropped_; }
    std::uint64_t delivered() const { return delivered_; }
    std::size_t capacity() const { return capacity_; }
    std::size_t window() const { return window_; }

private:
    std::size_t capacity_;
    std::size_t window_;
    std::deque<std::string> waiting_;
    std::size_t awaiting_ = 0; // taken, whether or not their mid is known yet
    std::unordered_set<int> inFlight_;
    std::unordered_set<int> earlyAcks_;
    std::uint64_t dropped_ = 0;
    std::uint64_t delivered_ = 0;
};

} // namespace varnex
