#pragma once
// One text element of the virtual LCD: a digit slot, the minus sign, a unit sign, a caption or an
// annunciator. Paints its meter text in the LCD look, black on a transparent background or, for
// labels given a backdrop, on that colour.
#include "display/LcdFont.h"

#include <QColor>
#include <QImage>
#include <QWidget>

namespace varnex {

class LcdLabel : public QWidget {
    Q_OBJECT
public:
    // pixelHeight is the element's font height; segment texts are fitted into the widget's box.
    LcdLabel(LcdFace face, int pixelHeight, QWidget* parent = nullptr);

    // Repaints only when the text really changes (a decoder pass sets every label each frame).
    void setText(const QString& meterText);
    const QString& text() const { return m_text; }

    LcdFace face() const { return m_face; }
    int pixelHeight() const { return m_pixelHeight; }

    // Faint unlit segments ("8") behind the text, like the glass of a real meter.
    void setGhost(bool ghost);
    bool ghost() const { return m_ghost; }

    // A blanked slot draws no segments whatever its text (the leading slot of an overload).
    void setBlanked(bool blanked);
    bool isBlanked() const { return m_blanked; }

    // An opaque colour the label fills its box with before its text. A label with a backdrop is
    // opaque to Qt, so a text change repaints the label alone and not what lies beneath it.
    // Only for labels that sit on a plain area of that colour, with nothing under them.
    void setBackdrop(const QColor& backdrop);
    const QColor& backdrop() const { return m_backdrop; }

    // On by default: segment looks are drawn once and blitted after. Off draws every paint anew,
    // as a reference that no cached look can have gone stale in.
    static void setCachedLooks(bool cached);

    // Legend labels size themselves to their text, as autosized window labels do.
    void setAutoSize(bool autoSize);
    // The widest a legend's text is drawn: a longer text is narrowed to fit, at its height.
    // 0: no limit.
    void setTextWidthLimit(int pixels);
    int textWidthLimit() const { return m_textWidthLimit; }

    // What the label draws for its text: the glyphs after the LCD font's substitutions.
    QString drawnGlyphs() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paintSegmentFont(QPainter& painter, const QString& glyphs);
    void paintLook(QPainter& painter, const QString& glyphs);
    // The segment look of glyphs in this label's box, drawn once and then taken from a cache
    // shared by every label (a large seven-segment glyph is drawn as a path, which is slow).
    QImage segmentLook(const QString& glyphs);

    LcdFace m_face;
    int m_pixelHeight;
    QString m_text;
    QFont m_font;
    QString m_fontKey;
    QColor m_backdrop;
    bool m_ghost = false;
    bool m_autoSize = false;
    bool m_blanked = false;
    int m_textWidthLimit = 0;
};

} // namespace varnex
