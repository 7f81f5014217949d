#pragma once
// The LCD font: how the meter's display texts are drawn.
//
// The meter's texts use a few characters of their own: "*" is the ohm sign, "K" is kilo, and an
// overload fills the six digit slots with "0", "v", "@", "d", "--", "--". Digits are drawn with a
// seven-segment face (DSEG7 Classic when installed, otherwise our own segment painter); captions,
// unit signs and annunciators are the printed legends of the glass, drawn in a plain bold face.
#include <QFont>
#include <QString>

namespace varnex {

enum class LcdFace {
    Segments,  // seven-segment digits: main and second display, minus sign
    Legend,    // printed legends: units, captions, annunciators
};

// The family of the seven-segment font, loading it from the system's font folder on first use.
// Empty when no seven-segment font could be loaded (our own painter takes over then).
QString SegmentFontFamily();

// Overrides where the seven-segment font is looked for (tests use this to force the fallback).
// An empty path restores the installed font's place.
void SetSegmentFontPath(const QString& path);

// A font of the given face whose characters are pixelHeight pixels high (em height).
QFont LcdFont(LcdFace face, int pixelHeight);

// What the segment face draws for one meter text: "v" becomes the "O" of an overload, "@" its
// "L", "d" a blank slot and "--" a single centred dash. Other characters are kept.
QString SegmentGlyphs(const QString& meterText);

// What a legend draws for a meter text: "*" becomes the ohm sign (also in "K*" and "M*").
QString LegendGlyphs(const QString& meterText);

} // namespace varnex
