#pragma once
// Puts one decoder pass's LcdState on the panel and the terminal marks.
#include "protocol/Decoder.h"

namespace varnex {

class VirtualLcd;
class MeterFace;

// Elements marked Keep and texts / terminal colours left unset are not touched. Lookups go
// through the panel's element table, so a pass does no name searches.
void applyLcdState(VirtualLcd& lcd, MeterFace& face, const LcdState& state);

} // namespace varnex
