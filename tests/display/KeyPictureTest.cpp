#include "display/KeyPicture.h"

#include <gtest/gtest.h>

namespace varnex {
namespace {

// Count of clearly white pixels per row band: top third, bottom third.
std::pair<int, int> WhiteTopBottom(const QImage& image)
{
    int top = 0, bottom = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (c.alpha() > 200 && qGray(c.rgb()) > 200) {
                if (y < image.height() / 3)
                    ++top;
                else if (y >= image.height() * 2 / 3)
                    ++bottom;
            }
        }
    return {top, bottom};
}

TEST(KeyPicture, EveryPictureKeyHasAWhiteDrawing)
{
    const QStringList expected = {QStringLiteral("oumu"), QStringLiteral("CAP"),
                                  QStringLiteral("duanlou"), QStringLiteral("DIODE"),
                                  QStringLiteral("UP"), QStringLiteral("AUTO"), QStringLiteral("DOWN")};
    QStringList names = KeyPictureNames();
    names.sort();
    QStringList sortedExpected = expected;
    sortedExpected.sort();
    EXPECT_EQ(names, sortedExpected);

    for (const QString& name : expected) {
        SCOPED_TRACE(name.toStdString());
        EXPECT_FALSE(KeyPicture(name).isNull());
        const QImage image = KeyPictureImage(name, QSize(64, 40));
        ASSERT_FALSE(image.isNull());
        const auto [top, bottom] = WhiteTopBottom(image);
        EXPECT_GT(top + bottom, 20);
        EXPECT_EQ(qAlpha(image.pixel(0, 0)), 0) << "transparent around the drawing";
    }
}

TEST(KeyPicture, PicturesDifferFromEachOther)
{
    const QStringList names = KeyPictureNames();
    for (int i = 0; i < names.size(); ++i)
        for (int j = i + 1; j < names.size(); ++j)
            EXPECT_NE(KeyPictureImage(names[i], QSize(64, 40)), KeyPictureImage(names[j], QSize(64, 40)))
                << names[i].toStdString() << " vs " << names[j].toStdString();
}

TEST(KeyPicture, TrianglesPointTheirWay)
{
    // the point of a triangle is narrow, its base wide
    const auto [upTop, upBottom] = WhiteTopBottom(KeyPictureImage(QStringLiteral("UP"), QSize(64, 40)));
    EXPECT_LT(upTop * 2, upBottom);
    const auto [downTop, downBottom] = WhiteTopBottom(KeyPictureImage(QStringLiteral("DOWN"), QSize(64, 40)));
    EXPECT_GT(downTop, downBottom * 2);
}

TEST(KeyPicture, KeysWithTextHaveNoPicture)
{
    for (const char* name : {"dcv", "HOLD", "Hz", "", "oumu "}) {
        EXPECT_TRUE(KeyPicture(QString::fromLatin1(name)).isNull()) << name;
        EXPECT_TRUE(KeyPictureImage(QString::fromLatin1(name), QSize(64, 40)).isNull()) << name;
    }
    EXPECT_TRUE(KeyPictureImage(QStringLiteral("UP"), QSize()).isNull());
}

} // namespace
} // namespace varnex
