#include "chart/ChartToolBar.h"

#include "chart/ChartLayout.h"
#include "chart/DigitKeyFilter.h"
#include "chart/ToolBarIcons.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

namespace varnex {
namespace {
constexpr int kButtonTop = 4;
constexpr int kButtonHeight = 25;
} // namespace

ChartToolBar::ChartToolBar(QWidget* parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("Panel19"));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setAutoFillBackground(true);
    setFixedHeight(kChartToolBarHeight);
    resize(kChartToolBarWidth, kChartToolBarHeight);

    fill_ = new QCheckBox(QStringLiteral("Fill"), this);
    fill_->setObjectName(QStringLiteral("BtFill"));
    fill_->setToolTip(QStringLiteral("Graphic Fill"));
    fill_->setChecked(true);
    fill_->setGeometry(45, 7, 62, 19);

    maxrecord_ = new QLineEdit(QStringLiteral("100"), this);
    maxrecord_->setObjectName(QStringLiteral("Maxrecord"));
    maxrecord_->setGeometry(112, 6, 49, 21);
    maxrecord_->installEventFilter(new DigitKeyFilter(maxrecord_));

    save_ = PictureButton("BtSave", QStringLiteral("Save"), DiskIcon(), 165, 25);
    first_ = PictureButton("BtFirst", QStringLiteral("First"), FirstPageIcon(), 200, 25);
    previous_ = PictureButton("BTPrevious", QStringLiteral("Previous"), PreviousPageIcon(), 227, 24);

    pageLabel_ = new QPushButton(QStringLiteral("1"), this);
    pageLabel_->setObjectName(QStringLiteral("Bt10"));
    pageLabel_->setToolTip(QStringLiteral("Page No."));
    pageLabel_->setFocusPolicy(Qt::NoFocus);
    pageLabel_->setGeometry(251, kButtonTop, 24, kButtonHeight);
    pageLabel_->setStyleSheet(QStringLiteral("QPushButton { color: blue; padding: 0px; }"));
    SetPageNumber(1);

    next_ = PictureButton("BtNext", QStringLiteral("Next"), NextPageIcon(), 275, 24);
    last_ = PictureButton("BTlast", QStringLiteral("last"), LastPageIcon(), 299, 25);
    enlarge_ = PictureButton("TbFd", QStringLiteral("Graphic Enlarge"), EnlargeIcon(), 336, 25);
    restore_ = PictureButton("TbSx", QStringLiteral("Graphic Restore"), RestoreIcon(), 336, 25);
    restore_->setVisible(false);
}

void ChartToolBar::SetPageNumber(int page)
{
    const QString text = QString::number(page);
    QFont font = pageLabel_->font();
    font.setBold(true);
    for (int pixels = 12; pixels >= 7; --pixels) {
        font.setPixelSize(pixels);
        if (QFontMetrics(font).horizontalAdvance(text) <= pageLabel_->width() - 3)
            break;
    }
    pageLabel_->setFont(font);
    pageLabel_->setText(text);
}

QToolButton* ChartToolBar::PictureButton(const char* name, const QString& hint, const QIcon& icon, int left, int width)
{
    auto* button = new QToolButton(this);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(hint);
    button->setAccessibleName(hint);
    button->setIcon(icon);
    button->setIconSize(QSize(16, 16));
    button->setGeometry(left, kButtonTop, width, kButtonHeight);
    return button;
}

} // namespace varnex
