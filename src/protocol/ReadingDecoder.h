#pragma once
// The decoder with its state: CurrentReading, the decimal separator, and counts of decoded and
// dropped frames. Reuses one result so a long run does not allocate per frame.
#include "protocol/Decoder.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace varnex {

class ReadingDecoder {
public:
    explicit ReadingDecoder(std::string decimalSeparator = ".");

    // One pass over an accepted frame. The returned result stays valid until the next call.
    // A rejected frame (result.decoded false) is counted and logs nothing.
    const DecodeResult& Decode(std::string_view frameText);

    const Reading& Current() const { return result_.reading; }
    const std::string& DecimalSeparator() const { return separator_; }
    std::uint64_t DecodedFrames() const { return decoded_; }
    std::uint64_t DroppedFrames() const { return dropped_; }

private:
    std::string separator_;
    DecodeResult result_;
    std::uint64_t decoded_ = 0;
    std::uint64_t dropped_ = 0;
};

} // namespace varnex
