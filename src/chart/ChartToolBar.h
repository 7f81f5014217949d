#pragma once
// The chart's tool bar Panel19 (417 x 33): fill switch, page size entry, save,
// page buttons, page label and the enlarge/restore magnifiers. Only the controls:
// ChartCommands gives them their actions.
#include <QFrame>

class QCheckBox;
class QLineEdit;
class QPushButton;
class QToolButton;

namespace varnex {

class ChartToolBar : public QFrame {
    Q_OBJECT
public:
    explicit ChartToolBar(QWidget* parent = nullptr);

    QCheckBox* BtFill() const { return fill_; }
    QLineEdit* Maxrecord() const { return maxrecord_; }
    QToolButton* BtSave() const { return save_; }
    QToolButton* BtFirst() const { return first_; }
    QToolButton* BTPrevious() const { return previous_; }
    QPushButton* Bt10() const { return pageLabel_; }
    QToolButton* BtNext() const { return next_; }
    QToolButton* BTlast() const { return last_; }
    QToolButton* TbFd() const { return enlarge_; }
    QToolButton* TbSx() const { return restore_; }

    // Shows the page number on Bt10, in a smaller type when it is long, so that page
    // numbers of five digits still fit the 24-pixel label.
    void SetPageNumber(int page);

private:
    QToolButton* PictureButton(const char* name, const QString& hint, const QIcon& icon, int left, int width);

    QCheckBox* fill_;
    QLineEdit* maxrecord_;
    QToolButton* save_;
    QToolButton* first_;
    QToolButton* previous_;
    QPushButton* pageLabel_;
    QToolButton* next_;
    QToolButton* last_;
    QToolButton* enlarge_;
    QToolButton* restore_;
};

} // namespace varnex
