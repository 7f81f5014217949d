#include "sim/KeyCommandParser.h"

namespace varnex::sim {

std::optional<MeterKey> KeyCommandParser::Feed(std::uint8_t byte)
{
    // The meter's line has 7 data bits: the eighth bit never reaches it.
    const char letter = static_cast<char>(byte & 0x7F);
    const std::optional<MeterKey> key = KeyFromLetter(letter);
    if (pending_) {
        if (*pending_ == letter) {
            pending_.reset();
            return key;
        }
        ++discarded_;  // the unmatched first byte
        pending_.reset();
    }
    if (key)
        pending_ = letter;
    else
        ++discarded_;
    return std::nullopt;
}

std::vector<MeterKey> KeyCommandParser::Feed(const std::uint8_t* bytes, std::size_t count)
{
    std::vector<MeterKey> keys;
    for (std::size_t i = 0; i < count; ++i) {
        if (const auto key = Feed(bytes[i]))
            keys.push_back(*key);
    }
    return keys;
}

} // namespace varnex::sim
