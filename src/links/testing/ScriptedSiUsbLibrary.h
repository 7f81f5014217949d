#pragma once
// A scripted SiUsbLibrary for tests: records every call with its arguments in order and
// answers with the statuses queued for it (success when nothing is queued). Reads take
// their bytes from a queue and fail at once (SI_RX_QUEUE_NOT_READY) when it is empty.
#include "links/SiUsbLibrary.h"

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

namespace varnex::testing {

struct SiCall {
    std::string name;                 // "SI_Open", "SI_Read", ...
    SI_HANDLE handle = nullptr;
    std::uint32_t arg1 = 0;           // device number, baud rate, read time-out, length
    std::uint32_t arg2 = 0;           // write time-out
    std::uint8_t flushTransmit = 0;
    std::uint8_t flushReceive = 0;
    std::vector<std::uint8_t> bytes;  // what SI_Write was given
    SI_STATUS result = SI_SUCCESS;
};

class ScriptedSiUsbLibrary : public SiUsbLibrary {
public:
    // The handle SI_Open hands out.
    SI_HANDLE deviceHandle() { return &device_; }

    std::uint32_t deviceCount = 1;

    // Statuses returned by the next calls of `name`, in order.
    void queueStatus(const std::string& name, SI_STATUS status) { statuses_[name].push_back(status); }
    // Bytes the next successful reads return, one per SI_Read.
    void queueBytes(const std::vector<std::uint8_t>& bytes)
    {
        for (auto b : bytes)
            reads_.push_back(Read{SI_SUCCESS, b});
    }
    void queueReadFailure(SI_STATUS status) { reads_.push_back(Read{status, 0}); }
    std::size_t pendingReads() const { return reads_.size(); }

    const std::vector<SiCall>& calls() const { return calls_; }
    std::vector<std::string> callNames() const
    {
        std::vector<std::string> names;
        for (const auto& c : calls_)
            names.push_back(c.name);
        return names;
    }
    int count(const std::string& name) const
    {
        int n = 0;
        for (const auto& c : calls_)
            n += c.name == name ? 1 : 0;
        return n;
    }
    void clearCalls() { calls_.clear(); }
    std::vector<std::uint8_t> written() const
    {
        std::vector<std::uint8_t> all;
        for (const auto& c : calls_)
            if (c.name == "SI_Write" && c.result == SI_SUCCESS)
                all.insert(all.end(), c.bytes.begin(), c.bytes.end());
        return all;
    }

    SI_STATUS SI_GetNumDevices(std::uint32_t* numDevices) override
    {
        SiCall call = makeCall("SI_GetNumDevices");
        const SI_STATUS status = next(call.name);
        if (numDevices && status != SI_DEVICE_NOT_FOUND)
            *numDevices = deviceCount;
        return record(call, status);
    }
    SI_STATUS SI_Open(std::uint32_t deviceNum, SI_HANDLE* handle) override
    {
        SiCall call = makeCall("SI_Open");
        call.arg1 = deviceNum;
        const SI_STATUS status = next(call.name);
        if (status == SI_SUCCESS) {
            *handle = deviceHandle();
            open_ = true;
        }
        return record(call, status);
    }
    SI_STATUS SI_SetBaudRate(SI_HANDLE handle, std::uint32_t baudRate) override
    {
        SiCall call = makeCall("SI_SetBaudRate", handle, baudRate);
        return record(call, handleOk(handle) ? next(call.name) : SI_INVALID_HANDLE);
    }
    SI_STATUS SI_SetTimeouts(std::uint32_t readTimeoutMs, std::uint32_t writeTimeoutMs) override
    {
        SiCall call = makeCall("SI_SetTimeouts", nullptr, readTimeoutMs, writeTimeoutMs);
        return record(call, next(call.name));
    }
    SI_STATUS SI_Read(SI_HANDLE handle, void* buffer, std::uint32_t bytesToRead, std::uint32_t* bytesReturned,
                      void*) override
    {
        SiCall call = makeCall("SI_Read", handle, bytesToRead);
        if (bytesReturned)
            *bytesReturned = 0;
        if (!handleOk(handle))
            return record(call, SI_INVALID_HANDLE);
        if (reads_.empty())
            return record(call, SI_RX_QUEUE_NOT_READY);
        const Read read = reads_.front();
        reads_.pop_front();
        if (read.status == SI_SUCCESS) {
            *static_cast<std::uint8_t*>(buffer) = read.byte;
            if (bytesReturned)
                *bytesReturned = 1;
        }
        return record(call, read.status);
    }
    SI_STATUS SI_Write(SI_HANDLE handle, const void* buffer, std::uint32_t bytesToWrite,
                       std::uint32_t* bytesWritten, void*) override
    {
        SiCall call = makeCall("SI_Write", handle, bytesToWrite);
        const auto* bytes = static_cast<const std::uint8_t*>(buffer);
        call.bytes.assign(bytes, bytes + bytesToWrite);
        const SI_STATUS status = handleOk(handle) ? next(call.name) : SI_INVALID_HANDLE;
        if (bytesWritten)
            *bytesWritten = status == SI_SUCCESS ? bytesToWrite : 0;
        return record(call, status);
    }
    SI_STATUS SI_FlushBuffers(SI_HANDLE handle, std::uint8_t flushTransmit, std::uint8_t flushReceive) override
    {
        SiCall call = makeCall("SI_FlushBuffers", handle);
        call.flushTransmit = flushTransmit;
        call.flushReceive = flushReceive;
        if (!handleOk(handle))
            return record(call, SI_INVALID_HANDLE);
        const SI_STATUS status = next(call.name);
        if (status == SI_SUCCESS && flushReceive)
            reads_.clear(); // what the bridge had buffered is gone
        return record(call, status);
    }
    SI_STATUS SI_Close(SI_HANDLE handle) override
    {
        SiCall call = makeCall("SI_Close", handle);
        if (!handleOk(handle))
            return record(call, SI_INVALID_HANDLE);
        open_ = false;
        return record(call, next(call.name));
    }

    bool isOpen() const { return open_; }

private:
    static SiCall makeCall(const char* name, SI_HANDLE handle = nullptr, std::uint32_t arg1 = 0,
                           std::uint32_t arg2 = 0)
    {
        SiCall call;
        call.name = name;
        call.handle = handle;
        call.arg1 = arg1;
        call.arg2 = arg2;
        return call;
    }
    struct Read {
        SI_STATUS status;
        std::uint8_t byte;
    };
    bool handleOk(SI_HANDLE handle) const { return open_ && handle == &device_; }
    SI_STATUS next(const std::string& name)
    {
        auto& queue = statuses_[name];
        if (queue.empty())
            return SI_SUCCESS;
        const SI_STATUS status = queue.front();
        queue.pop_front();
        return status;
    }
    SI_STATUS record(SiCall call, SI_STATUS status)
    {
        call.result = status;
        calls_.push_back(std::move(call));
        return status;
    }

    int device_ = 0;
    bool open_ = false;
    std::map<std::string, std::deque<SI_STATUS>> statuses_;
    std::deque<Read> reads_;
    std::vector<SiCall> calls_;
};

} // namespace varnex::testing
