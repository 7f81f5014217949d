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
