#pragma once
// Where every element of the virtual LCD sits, what it is and its design caption.
// Positions are from the top left corner of Panel1 (654 x 177).
#include "display/LcdSigns.h"

#include <QRect>

#include <vector>

namespace varnex {

constexpr int kPanelWidth = 654;
constexpr int kPanelHeight = 177;

enum class LcdElementKind {
    Digit,    // a seven-segment digit slot with ghost segments
    Segment,  // a seven-segment text without ghost (the minus sign)
    Legend,   // printed text: units, captions, annunciators; sized to its text
    Point,    // a decimal point (filled square)
    Picture,  // a sign drawn from a picture
};

struct LcdElementSpec {
    const char* name;
    LcdElementKind kind;
    const char* caption;  // design caption ("" for points and pictures)
    QRect box;            // left, top and the size we give it (legends resize to their text)
    int fontPixels;       // font height (0 for points and pictures)
    LcdSign sign;         // pictures only
    bool shownAtStart;
    // Legends only: the widest their text may be drawn, up to where the next element of
    // the row starts; a longer text is drawn narrower (0: no limit).
    int textWidthLimit = 0;
};

// Every element of the panel, in drawing order.
const std::vector<LcdElementSpec>& LcdLayout();

// The element named name, or nullptr.
const LcdElementSpec* FindLcdElementSpec(const QString& name);

} // namespace varnex
