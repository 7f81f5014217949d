#pragma once
// The white connection bar `AA` across the top of the window: the port selector
// (four stacked panels `BtCOM1`..`BtCOM4`), the toggle buttons `COMCon` and `USB`
// (at most one down) and `BitBtn1` "QUIT". It only draws and reports clicks;
// what a click means is decided by the window.
#include <QFrame>

class QLabel;
class QPushButton;
class QButtonGroup;

namespace varnex {

class PortPanel;

class ConnectionBar : public QFrame {
    Q_OBJECT
public:
    explicit ConnectionBar(QWidget* parent = nullptr);

    PortPanel* portPanel(int index) const; // 0..3 for COM1..COM4
    QPushButton* comButton() const { return m_com; }
    QPushButton* usbButton() const { return m_usb; }
    QPushButton* quitButton() const { return m_quit; }

signals:
    void portPanelClicked(int index);

private:
    PortPanel* m_ports[4] = {};
    QPushButton* m_com = nullptr;
    QPushButton* m_usb = nullptr;
    QPushButton* m_quit = nullptr;
};

// One clickable black panel with white bold text ("COM 1"); clicks are ignored while disabled.
class PortPanel : public QFrame {
    Q_OBJECT
public:
    PortPanel(const QString& caption, QWidget* parent);
    QString caption() const;

signals:
    void clicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QLabel* m_label;
};

} // namespace varnex
