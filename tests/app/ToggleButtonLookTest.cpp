// A link toggle that is down is plainly down: its face differs from a released one by a
// clear contrast, and its caption stays readable on it.
#include "app/ConnectionBar.h"

#include <QApplication>
#include <QHash>
#include <QImage>
#include <QPushButton>

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <string>

namespace varnex {
namespace {

// Relative luminance, as for contrast ratios of text on a background.
double Luminance(QRgb c)
{
    const auto channel = [](int v) {
        const double s = v / 255.0;
        return s <= 0.03928 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(c)) + 0.7152 * channel(qGreen(c)) + 0.0722 * channel(qBlue(c));
}

double Contrast(QRgb a, QRgb b)
{
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

struct Face {
    QRgb face = 0;     // the commonest colour inside the edge
    double text = 1.0; // the strongest contrast of any pixel with the face: the caption
};

Face LookAt(QPushButton* button)
{
    const QImage image = button->grab().toImage().convertToFormat(QImage::Format_RGB32);
    QHash<QRgb, int> counts;
    const QRect inner = image.rect().adjusted(4, 4, -4, -4);
    for (int y = inner.top(); y <= inner.bottom(); ++y)
        for (int x = inner.left(); x <= inner.right(); ++x)
            ++counts[image.pixel(x, y)];
    Face f;
    int best = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > best) {
            best = it.value();
            f.face = it.key();
        }
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        f.text = std::max(f.text, Contrast(it.key(), f.face));
    return f;
}

struct ToggleCase {
    const char* name;
    const char* objectName;
};

void PrintTo(const ToggleCase& c, std::ostream* os) { *os << c.name; }

class app_ToggleLook : public ::testing::TestWithParam<ToggleCase> {};

TEST_P(app_ToggleLook, DownIsPlainlyDifferentFromUp)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(11);
    font.setBold(true);
    ConnectionBar bar;
    bar.setFont(font);
    bar.resize(845, 48);
    bar.show();
    auto* button = bar.findChild<QPushButton*>(QString::fromLatin1(GetParam().objectName));
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->isCheckable());

    button->setChecked(false);
    const Face up = LookAt(button);
    button->setChecked(true);
    QCoreApplication::processEvents();
    const Face down = LookAt(button);

    EXPECT_GE(Contrast(up.face, down.face), 3.0) << "up face " << std::hex << up.face << ", down face " << down.face;
    EXPECT_GE(up.text, 4.5) << "the caption reads when up";
    EXPECT_GE(down.text, 4.5) << "and when down";
    // Only the look changes: the button keeps its place and size.
    EXPECT_EQ(button->size(), QSize(170, 34));
}

INSTANTIATE_TEST_SUITE_P(Toggles, app_ToggleLook,
                         ::testing::Values(ToggleCase{"ComConnection", "COMCon"}, ToggleCase{"UsbConnection", "USB"}),
                         [](const ::testing::TestParamInfo<ToggleCase>& info) { return std::string(info.param.name); });

// The QUIT button is no toggle: it keeps the platform look the toggles have when up.
TEST(app_ToggleLookQuit, UpTogglesLookLikeQuit)
{
    ConnectionBar bar;
    bar.resize(845, 48);
    bar.show();
    auto* com = bar.findChild<QPushButton*>(QStringLiteral("COMCon"));
    auto* quit = bar.findChild<QPushButton*>(QStringLiteral("BitBtn1"));
    ASSERT_NE(com, nullptr);
    ASSERT_NE(quit, nullptr);
    EXPECT_EQ(LookAt(com).face, LookAt(quit).face);
}

} // namespace
} // namespace varnex
