#pragma once
// The look of the link toggles "COM CONNECTION" and " USB CONNECTION ": up they look like
// every other push button; down they are plainly down, a dark sunken face with white
// text, where the platform style only darkens the face a shade.
#include <QProxyStyle>

class QPushButton;

namespace varnex {

class ToggleButtonStyle : public QProxyStyle {
    Q_OBJECT
public:
    // The face and text of a toggle that is down.
    static QColor downFace();
    static QColor downText();

    // Gives button this look; the style belongs to the button.
    static void applyTo(QPushButton* button);

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;
    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
};

} // namespace varnex
