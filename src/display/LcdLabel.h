#pragma once
// One text element of the virtual LCD: a digit slot, the minus sign, a unit sign, a caption or an
// annunciator. Paints its meter text in the LCD look, black on a transparent background.
#include "display/LcdFont.h"

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

    // Legend labels size themselves to their text, as autosized window labels do.
    void setAutoSize(bool autoSize);

    // What the label draws for its text: the glyphs after the LCD font's substitutions.
    QString drawnGlyphs() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paintSegmentFont(QPainter& painter, const QString& glyphs);

    LcdFace m_face;
    int m_pixelHeight;
    QString m_text;
    QFont m_font;
    bool m_ghost = false;
    bool m_autoSize = false;
    bool m_blanked = false;
};

} // namespace varnex
