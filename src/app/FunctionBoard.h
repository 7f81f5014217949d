#pragma once
// The group box `GroupBox1` "Function board": the repeat filter, the sampling interval
// with its seconds field, and the picture buttons Close Data, Open, Save and Print.
#include <QGroupBox>

class QCheckBox;
class QLineEdit;
class QToolButton;

namespace varnex {

class FunctionBoard : public QGroupBox {
    Q_OBJECT
public:
    explicit FunctionBoard(QWidget* parent = nullptr);

    QCheckBox* repeatSet() const { return m_repeat; }
    QCheckBox* recordSI() const { return m_recordSI; }
    QLineEdit* recordSITime() const { return m_recordSITime; }
    QToolButton* recordNew() const { return m_recordNew; }
    QToolButton* openDataFiles() const { return m_open; }
    QToolButton* saveAs() const { return m_save; }
    QToolButton* btPrint() const { return m_print; }

    // The frame line and the caption that sits on its top edge, as painted.
    QRect frameRect() const;
    QRect captionRect() const;

protected:
    // Drawn as the window's design shows it: the caption interrupts the frame's top line,
    // and every control lies inside the frame. (The platform style puts the caption above
    // the frame and its line lower, under the picture buttons.)
    void paintEvent(QPaintEvent* event) override;

private:
    QToolButton* makeButton(const char* name, const char* hint, const QIcon& icon, int left);

    QCheckBox* m_repeat = nullptr;
    QCheckBox* m_recordSI = nullptr;
    QLineEdit* m_recordSITime = nullptr;
    QToolButton* m_recordNew = nullptr;
    QToolButton* m_open = nullptr;
    QToolButton* m_save = nullptr;
    QToolButton* m_print = nullptr;
};

} // namespace varnex
