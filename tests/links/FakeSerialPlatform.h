#pragma once
// A SerialPlatform that records what the component asks of it and plays back reads.
#include "links/SerialPlatform.h"

#include <algorithm>
#include <deque>
#include <set>
#include <string>
#include <vector>

namespace varnex::testing {

class FakeSerialPlatform : public SerialPlatform {
public:
    // Shared with the test after the component took ownership.
    struct Record {
        std::vector<std::string> calls;
        std::vector<std::string> opened;
        std::vector<SerialLineSettings> lineSettings;
        std::vector<std::pair<bool, bool>> purges;
        std::vector<std::pair<std::uint32_t, std::uint32_t>> queues;
        std::vector<SerialTimeouts> timeouts;
        std::vector<std::uint8_t> written;
        std::vector<int> readSizes;
        std::set<std::string> openable{"COM1", "COM2", "COM3", "COM4"};
        std::deque<std::vector<std::uint8_t>> pendingReads;
        bool refuseLineSettings = false;
        int outQueue = 0;        // bytes the driver claims are waiting
        int acceptPerWrite = -1; // -1: everything; else at most this many per write
        std::deque<int> acceptSequence; // taken first, one entry per write
        bool writeError = false;
        bool readError = false;  // the device is lost: reads fail
        std::string lastError;
        bool open = false;
        int waits = 0;
    };

    explicit FakeSerialPlatform(Record& record) : r_(record) {}

    bool open(const std::string& deviceName) override
    {
        r_.calls.push_back("open");
        r_.opened.push_back(deviceName);
        r_.open = r_.openable.count(deviceName) > 0;
        return r_.open;
    }
    void close() override
    {
        r_.calls.push_back("close");
        r_.open = false;
    }
    bool isOpen() const override { return r_.open; }
    bool setLineSettings(const SerialLineSettings& settings) override
    {
        r_.calls.push_back("setLineSettings");
        r_.lineSettings.push_back(settings);
        return !r_.refuseLineSettings;
    }
    void purge(bool receive, bool transmit) override
    {
        r_.calls.push_back("purge");
        r_.purges.emplace_back(receive, transmit);
        if (receive)
            r_.pendingReads.clear();
    }
    void setupQueues(std::uint32_t receiveBytes, std::uint32_t transmitBytes) override
    {
        r_.calls.push_back("setupQueues");
        r_.queues.emplace_back(receiveBytes, transmitBytes);
    }
    void setTimeouts(const SerialTimeouts& timeouts) override
    {
        r_.calls.push_back("setTimeouts");
        r_.timeouts.push_back(timeouts);
    }
    int outQueueBytes() override { return r_.outQueue; }
    int read(std::uint8_t* buffer, int maxBytes) override
    {
        r_.readSizes.push_back(maxBytes);
        if (r_.readError)
            return -1;
        if (r_.pendingReads.empty())
            return 0;
        auto& chunk = r_.pendingReads.front();
        const int n = std::min<int>(maxBytes, static_cast<int>(chunk.size()));
        std::copy(chunk.begin(), chunk.begin() + n, buffer);
        chunk.erase(chunk.begin(), chunk.begin() + n);
        if (chunk.empty())
            r_.pendingReads.pop_front();
        return n;
    }
    int write(const std::uint8_t* data, int size) override
    {
        if (r_.writeError)
            return -1;
        int limit = r_.acceptPerWrite;
        if (!r_.acceptSequence.empty()) {
            limit = r_.acceptSequence.front();
            r_.acceptSequence.pop_front();
        }
        const int n = limit < 0 ? size : std::min(size, limit);
        r_.written.insert(r_.written.end(), data, data + n);
        return n;
    }
    void waitWritable(int) override { ++r_.waits; }
    std::string lastError() const override { return r_.lastError; }

private:
    Record& r_;
};

} // namespace varnex::testing
