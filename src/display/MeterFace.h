#pragma once
// The meter-face area of the main window (845 x 353 at window 4, 48): the meter's bezel with its
// name plates, the picture of the input terminals and the five terminal marks ("ma", "v",
// "caphz", "comm", "a"). The virtual LCD and the keypad are placed over it by the window.
#include "protocol/LcdElement.h"

#include <QWidget>

#include <array>

namespace varnex {

class TerminalShape;

// Where the face sits in the window; window positions of the design minus this give our own.
constexpr int kMeterFaceLeft = 4;
constexpr int kMeterFaceTop = 48;
constexpr int kMeterFaceWidth = 845;
constexpr int kMeterFaceHeight = 353;

class MeterFace : public QWidget {
    Q_OBJECT
public:
    explicit MeterFace(QWidget* parent = nullptr);

    TerminalShape* terminal(Terminal which) const { return m_terminals[ToIndex(which)]; }
    // By name ("ma", "v", "caphz", "comm", "a"); nullptr for another name.
    TerminalShape* terminal(const QString& name) const;

    void setTerminalRed(Terminal which, bool red);
    void setTerminalRed(const QString& name, bool red);
    void setAllTerminalsBlack();

    // The window position of the picture of the terminals and its size (145 x 289).
    static QRect terminalPictureRect();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::array<TerminalShape*, kTerminalCount> m_terminals{};
};

} // namespace varnex
