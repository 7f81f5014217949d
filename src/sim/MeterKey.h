#pragma once
// The meter's front keys, named by the letter of their command ("AA" is DCV, "UU" AC+DC).
#include <optional>

namespace varnex::sim {

enum class MeterKey : char {
    Dcv = 'A',
    Acv = 'B',
    Dci = 'C',
    Aci = 'D',
    Ohm = 'E',
    Reset = 'F',      // "RST"
    Cap = 'G',
    Hz = 'H',
    Continuity = 'I',
    Diode = 'J',
    Setup = 'K',
    Up = 'L',
    Auto = 'M',
    Down = 'N',
    Hold = 'O',
    Recall = 'P',
    Store = 'Q',
    MaxMin = 'R',
    Rel = 'S',
    Cal = 'T',
    AcDc = 'U',
};

// The key whose command letter this is; nothing for any other character.
constexpr std::optional<MeterKey> KeyFromLetter(char letter)
{
    if (letter >= 'A' && letter <= 'U')
        return static_cast<MeterKey>(letter);
    return std::nullopt;
}

constexpr char LetterOf(MeterKey key) { return static_cast<char>(key); }

// A short name for logs: "DCV", "RST", "MAX MIN", ...
const char* NameOf(MeterKey key);

} // namespace varnex::sim
