// The panel repaints only what a frame changed, from looks drawn once: what is on screen after
// a run of frames must equal a fresh panel given the same texts and drawn without the cache, and
// a text change must not repaint the meter face beneath the panel.
#include "display/LcdFont.h"
#include "display/LcdLabel.h"
#include "display/MeterFace.h"
#include "display/VirtualLcd.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QPixmap>
#include <QScreen>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace varnex {
namespace {

// Counts its paints, to tell whether a change on the panel reached it.
class CountingFace : public MeterFace {
public:
    using MeterFace::MeterFace;
    int paints = 0;

protected:
    void paintEvent(QPaintEvent* event) override
    {
        ++paints;
        MeterFace::paintEvent(event);
    }
};

// The panel over the meter face, placed as the main window places them.
struct Screen {
    QWidget host;
    CountingFace* face = new CountingFace(&host);
    VirtualLcd* lcd = new VirtualLcd(&host);

    Screen()
    {
        host.setFixedSize(857, 667);
        face->setGeometry(kMeterFaceLeft, kMeterFaceTop, kMeterFaceWidth, kMeterFaceHeight);
        lcd->setGeometry(30, 80, 654, 177);
        host.show();
        settle(); // the window's first paint follows its exposure, which comes later
    }
    // Runs the event loop a while: a child that is shown is painted a pass after its show.
    static void settle()
    {
        QElapsedTimer timer;
        timer.start();
        while (timer.elapsed() < 15)
            QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    // The panel's pixels as the backing store holds them after the pending paints.
    QImage onScreen()
    {
        settle();
        const QRect box = lcd->geometry();
        return host.screen()
            ->grabWindow(host.winId(), box.x(), box.y(), box.width(), box.height())
            .toImage()
            .convertToFormat(QImage::Format_RGB32);
    }
};

struct Frame {
    std::vector<std::pair<const char*, std::string>> texts;
    std::vector<const char*> shown;
    std::vector<const char*> hidden;
};

void Apply(VirtualLcd& lcd, const Frame& frame)
{
    for (const auto& [name, text] : frame.texts)
        lcd.setElementText(QString::fromLatin1(name), QString::fromStdString(text));
    for (const char* name : frame.hidden)
        lcd.setElementVisible(QString::fromLatin1(name), false);
    for (const char* name : frame.shown)
        lcd.setElementVisible(QString::fromLatin1(name), true);
    lcd.refreshOverloadLook();
}

// Pixels whose colour differs by more than antialiasing noise.
int DifferentPixels(const QImage& a, const QImage& b)
{
    if (a.size() != b.size())
        return a.width() * a.height() + 1;
    int different = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (qAbs(qRed(p) - qRed(q)) > 2 || qAbs(qGreen(p) - qGreen(q)) > 2 || qAbs(qBlue(p) - qBlue(q)) > 2)
                ++different;
        }
    return different;
}

Frame Reading(const char* digits, const char* point, std::vector<const char*> hidden = {})
{
    Frame f;
    const char* names[] = {"LcdD0", "LcdDa", "LcdDb", "LcdDc", "LcdDd", "LcdDe"};
    for (int i = 0; i < 6; ++i)
        f.texts.push_back({names[i], std::string(1, digits[i])});
    f.shown = {point};
    f.hidden = std::move(hidden);
    return f;
}

// A fresh panel given the frames at once and painted once, every look drawn anew (no cache).
QImage Uncached(const std::vector<Frame>& frames)
{
    LcdLabel::setCachedLooks(false);
    Screen fresh;
    for (const Frame& frame : frames)
        Apply(*fresh.lcd, frame);
    const QImage look = fresh.onScreen();
    LcdLabel::setCachedLooks(true);
    return look;
}

const std::vector<Frame>& FrameRun()
{
    static const std::vector<Frame> run = [] {
        std::vector<Frame> frames = {
            {{{"LcdDc1", "DCV "}, {"lcdrange", "2 2 V"}, {"LCDd20", ""}, {"LCDD2A", ""}, {"LCDD2B", ""}, {"LCDD2C", ""}},
             {"LcdV", "LcdAuto", "LCDsend", "CONok"},
             {"CONokN"}},
            Reading("012345", "LcdP0", {"LcdP1", "LcdP2"}),
            Reading("167890", "LcdP1", {"LcdP0"}),
            {{{"LcdD0", "0"}, {"LcdDa", "v"}, {"LcdDb", "@"}, {"LcdDc", "d"}, {"LcdDd", "--"}, {"LcdDe", "--"},
              {"LcdDc1", "OHM"}, {"lcdrange", "2 0 0 K *"}},
             {"LCDohm", "lcdkk", "LcdManu", "LCDHOLD"},
             {"LcdV", "LcdAuto", "LcdP1"}},
            Reading("1-2-3-", "LcdP2", {"LCDHOLD", "LcdFH"}),
            {{{"LCDd20", "5"}, {"LCDD2A", "0"}, {"LCDD2B", "0"}, {"LCDD2C", "1"}}, {"LCDP21", "LCDk", "LCDM1", "LcdFH"}, {}},
            Reading("098765", "LcdP3", {"LcdP2", "LCDohm", "lcdkk"}),
            Reading("043210", "LcdP4", {"LcdP3"}),
        };
        return frames;
    }();
    return run;
}

TEST(LcdRepaint, PixelsOnScreenAfterARunOfFramesEqualAFreshPanel)
{
    Screen running;
    for (const Frame& frame : FrameRun()) {
        Apply(*running.lcd, frame);
        running.onScreen(); // each frame painted before the next one, as in the window
    }
    const QImage afterRun = running.onScreen();

    ASSERT_FALSE(afterRun.isNull());
    EXPECT_EQ(DifferentPixels(afterRun, Uncached(FrameRun())), 0);
    // and what is on screen is what a plain render of the panel draws
    const QImage rendered = running.lcd->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(DifferentPixels(afterRun, rendered), 0);
}

TEST(LcdRepaint, EveryDigitLookMatchesAFreshPanelAfterTheOthers)
{
    // each slot walks through every glyph; a look taken from the wrong key would show
    Screen running;
    const char* glyphs[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "-", "v", "@", "d", "--", "", " "};
    for (const char* glyph : glyphs) {
        const Frame frame{{{"LcdDe", glyph}, {"LCDD2C", glyph}, {"LcdFH", glyph}}, {"LcdFH"}, {}};
        Apply(*running.lcd, frame);
        const QImage afterRun = running.onScreen();
        EXPECT_EQ(DifferentPixels(afterRun, Uncached({frame})), 0) << "glyph '" << glyph << "'";
    }
}

TEST(LcdRepaint, NothingLiesUnderAnOpaqueElement)
{
    // an opaque element paints its whole box and Qt paints nothing beneath it, so an element
    // under it would be wiped out whenever it repaints
    VirtualLcd lcd;
    const QObjectList& children = lcd.children();
    int opaque = 0;
    for (int i = 0; i < children.size(); ++i) {
        auto* element = qobject_cast<QWidget*>(children[i]);
        if (!element || !element->testAttribute(Qt::WA_OpaquePaintEvent))
            continue;
        ++opaque;
        for (int j = 0; j < i; ++j) {
            if (auto* below = qobject_cast<QWidget*>(children[j])) {
                EXPECT_FALSE(below->geometry().intersects(element->geometry()))
                    << qPrintable(below->objectName()) << " lies under " << qPrintable(element->objectName());
            }
        }
    }
    EXPECT_GE(opaque, 19) << "the digit slots, the minus sign and the points are opaque";
}

TEST(LcdRepaint, ADigitChangeDoesNotRepaintTheMeterFace)
{
    Screen screen;
    screen.onScreen();
    const int before = screen.face->paints;
    ASSERT_GT(before, 0) << "the face is painted when shown";
    Apply(*screen.lcd, Reading("054321", "LcdP2"));
    const QImage shown = screen.onScreen();
    EXPECT_EQ(screen.face->paints, before);
    Apply(*screen.lcd, Reading("054322", "LcdP3", {"LcdP2"}));
    screen.onScreen();
    EXPECT_EQ(screen.face->paints, before) << "nor does a decimal point moving";
    EXPECT_FALSE(shown.isNull());
}

TEST(LcdRepaint, OwnPainterLooksAreNotTakenForTheFontsOnes)
{
    const Frame eights = Reading("888888", "LcdP0");
    Screen withFont;
    Apply(*withFont.lcd, eights);
    const QImage fontLook = withFont.onScreen();

    SetSegmentFontPath(QStringLiteral("/nonexistent/DSEG7.ttf"));
    Screen withoutFont;
    Apply(*withoutFont.lcd, eights);
    const QImage ownLook = withoutFont.onScreen();
    const QImage ownReference = Uncached({eights});
    SetSegmentFontPath(QString());

    EXPECT_EQ(DifferentPixels(ownLook, ownReference), 0);
    if (SegmentFontFamily().isEmpty())
        GTEST_SKIP() << "no seven-segment font installed: both panels use our own painter";
    EXPECT_GT(DifferentPixels(fontLook, ownLook), 100) << "the two faces draw different eights";
}

} // namespace
} // namespace varnex
