// The function board as it is painted: its caption sits on the frame's top line, and the
// check boxes, the seconds field and the four picture buttons lie inside the frame.
#include "app/FunctionBoard.h"

#include <QApplication>
#include <QCheckBox>
#include <QImage>
#include <QLineEdit>
#include <QToolButton>

#include <gtest/gtest.h>

namespace varnex {
namespace {

struct FrameLines {
    int top = -1, bottom = -1, left = -1, right = -1;
};

bool Differs(QRgb a, QRgb b)
{
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b)) > 30;
}

// Rows and columns that are mostly painted over: the frame's lines.
FrameLines FindFrame(const QImage& image, QRgb background)
{
    FrameLines lines;
    for (int y = 0; y < image.height(); ++y) {
        int painted = 0;
        for (int x = 0; x < image.width(); ++x)
            painted += Differs(image.pixel(x, y), background) ? 1 : 0;
        if (painted * 10 >= image.width() * 6) { // the caption interrupts the top line
            if (lines.top < 0)
                lines.top = y;
            lines.bottom = y;
        }
    }
    if (lines.top < 0)
        return lines;
    for (int x = 0; x < image.width(); ++x) {
        int painted = 0;
        for (int y = lines.top; y <= lines.bottom; ++y)
            painted += Differs(image.pixel(x, y), background) ? 1 : 0;
        if (painted * 10 >= (lines.bottom - lines.top + 1) * 8) {
            if (lines.left < 0)
                lines.left = x;
            lines.right = x;
        }
    }
    return lines;
}

class FunctionBoardLook : public ::testing::Test {
protected:
    void SetUp() override
    {
        // The window's font: bold, 11 pixels.
        QFont font(QStringLiteral("Liberation Sans"));
        font.setPixelSize(11);
        font.setBold(true);
        board_.setFont(font);
        QPalette pal = board_.palette();
        pal.setColor(QPalette::Window, Qt::white); // the window's background
        board_.setPalette(pal);
        board_.resize(428, 41);
        board_.show();
        QCoreApplication::processEvents();
        // The board alone, without its controls.
        frameImage_ = QImage(board_.size(), QImage::Format_RGB32);
        frameImage_.fill(Qt::white);
        board_.render(&frameImage_, QPoint(), QRegion(), QWidget::RenderFlags());
        lines_ = FindFrame(frameImage_, qRgb(255, 255, 255));
    }

    // Painted pixels above the frame's bottom line and off its side lines: the caption.
    QRect captionInk() const
    {
        QRect ink;
        for (int y = 0; y < lines_.bottom; ++y)
            for (int x = lines_.left + 2; x < lines_.right - 1; ++x)
                if (y != lines_.top && y != lines_.top + 1 && Differs(frameImage_.pixel(x, y), qRgb(255, 255, 255)))
                    ink |= QRect(x, y, 1, 1);
        return ink;
    }

    FunctionBoard board_;
    QImage frameImage_;
    FrameLines lines_;
};

TEST_F(FunctionBoardLook, CaptionSitsOnTheFrameLine)
{
    ASSERT_GE(lines_.top, 0) << "no frame painted";
    const QRect caption = captionInk();
    ASSERT_FALSE(caption.isEmpty()) << "no caption painted";
    EXPECT_LT(caption.top(), lines_.top) << "the caption reaches above the line";
    EXPECT_GT(caption.bottom(), lines_.top) << "and below it: it sits on the line, not over the frame";
    EXPECT_LT(caption.left(), 40) << "at the frame's left end";
}

TEST_F(FunctionBoardLook, EveryControlLiesInsideTheFrame)
{
    ASSERT_GE(lines_.top, 0);
    ASSERT_GE(lines_.left, 0);
    const QRect inside(QPoint(lines_.left + 1, lines_.top + 1), QPoint(lines_.right - 1, lines_.bottom - 1));
    const QRect caption = captionInk();
    const QWidget* controls[] = {board_.repeatSet(), board_.recordSI(), board_.recordSITime(), board_.recordNew(),
                                 board_.openDataFiles(), board_.saveAs(), board_.btPrint()};
    for (const QWidget* control : controls) {
        SCOPED_TRACE(control->objectName().toStdString());
        EXPECT_TRUE(inside.contains(control->geometry()))
            << "frame inside " << inside.top() << ".." << inside.bottom() << ", control " << control->geometry().top()
            << ".." << control->geometry().bottom();
        EXPECT_FALSE(control->geometry().intersects(caption)) << "the caption stays clear";
    }
}

} // namespace
} // namespace varnex
