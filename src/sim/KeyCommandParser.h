#pragma once
// Cuts the bytes the program writes to the meter into key commands: the same capital letter
// twice. Bytes may arrive one at a time or many at once; a pair that does not match drops its
// first byte and starts again from the second, so one stray byte costs at most one command.
#include "sim/MeterKey.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace varnex::sim {

class KeyCommandParser {
public:
    // The key a completed pair names, if this byte completed one.
    std::optional<MeterKey> Feed(std::uint8_t byte);

    // Every command completed by the block, in order.
    std::vector<MeterKey> Feed(const std::uint8_t* bytes, std::size_t count);

    // Bytes that were not part of a command (stray or unmatched).
    std::size_t DiscardedBytes() const { return discarded_; }

private:
    std::optional<char> pending_;
    std::size_t discarded_ = 0;
};

} // namespace varnex::sim
