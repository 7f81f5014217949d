#pragma once
// The hand-over between the thread that logs and the journal's writer: the logging side
// appends under a short lock and never waits for the disk; the writer takes everything
// in one swap.
#include "app/journal/JournalRecord.h"

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

namespace varnex {

struct JournalItem {
    enum class Kind {
        Row,
        Saved,     // a save wrote every row so far
        Discarded, // the rows so far were thrown away (Discard on close, Close Data, an XML load)
        ReadRecoverable, // read the unsaved rows of run `run` for the table
        RecoverInto,     // the table took the unsaved rows of run `run`
        Settle,          // the question about runs `runs` was answered
        Event,           // a run event: `eventKind`, with row.value as its detail, at row.utcMs
    };
    Kind kind = Kind::Row;
    JournalRecord row;
    std::int64_t run = 0;
    std::vector<std::int64_t> runs;
    std::string eventKind;
};

class JournalQueue {
public:
    // More than this many waiting rows: the writer has fallen far behind (a dead disk);
    // rows beyond it are counted, not kept, so memory stays bounded.
    static constexpr std::size_t kCapacity = 1u << 15;
    // The writer wakes early when this many rows wait.
    static constexpr std::size_t kWakeRows = 4096;

    // False when the queue is full or closed; the item is not taken then.
    bool push(JournalItem&& item)
    {
        std::size_t size = 0;
        {
            std::lock_guard<std::mutex> lock(mutex_);
            if (closed_ || items_.size() >= kCapacity)
                return false;
            items_.push_back(std::move(item));
            size = items_.size();
        }
        if (size == kWakeRows)
            wake_.notify_one();
        return true;
    }
    // Waits up to `timeout` for work, then hands everything over. False once stopped and empty.
    bool take(std::vector<JournalItem>& out, std::chrono::milliseconds timeout)
    {
        out.clear();
        std::unique_lock<std::mutex> lock(mutex_);
        wake_.wait_for(lock, timeout, [this] { return stopping_ || items_.size() >= kWakeRows; });
        out.swap(items_);
        return !(stopping_ && out.empty());
    }
    // The writer leaves once the queue is empty; later pushes are refused.
    void stop()
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
            closed_ = true;
        }
        wake_.notify_one();
    }
    // Nothing is taken any more (the journal failed): drops what waits.
    void close()
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closed_ = true;
        items_.clear();
        items_.shrink_to_fit();
    }
    std::size_t size() const
    {
        std::lock_guard<std::mutex> lock(mutex_);
        return items_.size();
    }

private:
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::vector<JournalItem> items_;
    bool stopping_ = false;
    bool closed_ = false;
};

} // namespace varnex
