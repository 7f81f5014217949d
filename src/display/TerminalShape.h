#pragma once
// One input terminal mark over the picture of the meter's front: an ellipse with a white
// outline, black when the terminal is not in use and red when the current function uses it.
#include <QWidget>

namespace varnex {

class TerminalShape : public QWidget {
    Q_OBJECT
public:
    explicit TerminalShape(QWidget* parent = nullptr);

    // Repaints only on a change: the decoder paints every terminal on every frame.
    void setRed(bool red);
    bool isRed() const { return m_red; }
    QColor brushColor() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_red = false;
};

} // namespace varnex
