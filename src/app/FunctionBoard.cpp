#include "app/FunctionBoard.h"

#include "app/FunctionBoardIcons.h"

#include <QCheckBox>
#include <QFontMetrics>
#include <QLineEdit>
#include <QPainter>
#include <QToolButton>

namespace varnex {

FunctionBoard::FunctionBoard(QWidget* parent) : QGroupBox(QStringLiteral("Function board"), parent)
{
    setObjectName("GroupBox1");

    m_repeat = new QCheckBox(QStringLiteral("Repeat"), this);
    m_repeat->setObjectName("RepeatSet");
    m_repeat->setChecked(true);
    m_repeat->setGeometry(8, 17, 64, 18);

    // The seconds field lies over the blank stretch of the caption, so the line
    // reads: caption, the number, and the seconds mark 'S.
    m_recordSI = new QCheckBox(QStringLiteral("Sampling Interval               'S"), this);
    m_recordSI->setObjectName("RecordSI");
    m_recordSI->setChecked(false);
    m_recordSI->setGeometry(74, 17, 210, 18);

    m_recordSITime = new QLineEdit(QStringLiteral("1"), this);
    m_recordSITime->setObjectName("RecordSITime");
    {
        // Cover exactly the blanks between "Sampling Interval" and "'S".
        const QFontMetrics fm(m_recordSI->font());
        const int indicator = 20;
        const int left = m_recordSI->x() + indicator + fm.horizontalAdvance(QStringLiteral("Sampling Interval "));
        const int width = fm.horizontalAdvance(QString(14, QLatin1Char(' '))) - 2;
        m_recordSITime->setGeometry(left, 16, qMax(width, 24), 19);
    }
    m_recordSITime->setAlignment(Qt::AlignRight);

    m_recordNew = makeButton("RecordNew", "Close Data", CloseDataIcon(), 300);
    m_open = makeButton("OpenDataFiles", "Open Log Data", OpenLogIcon(), 331);
    m_save = makeButton("saveas", "Save Log Data", SaveLogIcon(), 362);
    m_print = makeButton("BtPrint", "Print", PrintIcon(), 393);
}

QRect FunctionBoard::captionRect() const
{
    const QFontMetrics fm(font());
    constexpr int kCaptionLeft = 8;
    constexpr int kCaptionPadding = 2;
    return QRect(kCaptionLeft, 0, fm.horizontalAdvance(title()) + 2 * kCaptionPadding, fm.height());
}

QRect FunctionBoard::frameRect() const
{
    // The top line runs through the middle of the caption.
    const int top = captionRect().center().y();
    return QRect(0, top, width(), height() - top);
}

void FunctionBoard::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QRect frame = frameRect();
    // An etched line, as the window's other frames: dark, with a light line inside it.
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(frame.adjusted(0, 0, -2, -2));
    painter.setPen(palette().color(QPalette::Light));
    painter.drawRect(frame.adjusted(1, 1, -1, -1));
    const QRect caption = captionRect();
    painter.fillRect(caption, palette().color(QPalette::Window));
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
    painter.drawText(caption, Qt::AlignCenter | Qt::TextSingleLine, title());
}

QToolButton* FunctionBoard::makeButton(const char* name, const char* hint, const QIcon& icon, int left)
{
    auto* b = new QToolButton(this);
    b->setObjectName(QString::fromLatin1(name));
    b->setToolTip(QString::fromLatin1(hint));
    b->setIcon(icon);
    b->setIconSize(QSize(20, 20));
    b->setAutoRaise(false);
    b->setGeometry(left, 13, 28, 25);
    return b;
}

} // namespace varnex
