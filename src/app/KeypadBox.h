#pragma once
// The group box `Keyboard`: an on-screen copy of the meter's keys, built from the key
// table. It reports which key was pressed with which mouse button; the window routes it.
#include "keypad/KeyTable.h"

#include <QGroupBox>

namespace varnex {

class KeypadBox : public QGroupBox {
    Q_OBJECT
public:
    explicit KeypadBox(QWidget* parent = nullptr);

    // The widget of a key by its control name ("dcv", "Shape29", ...).
    QWidget* key(const QString& controlName) const;

signals:
    void keyPressed(const varnex::KeyDefinition* key, varnex::KeyTrigger trigger);
};

// The calibration circle `Shape29`: a small grey ellipse that acts on the right button only.
class CalibrationCircle : public QWidget {
    Q_OBJECT
public:
    explicit CalibrationCircle(QWidget* parent = nullptr);

signals:
    void clicked(varnex::KeyTrigger trigger);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace varnex
