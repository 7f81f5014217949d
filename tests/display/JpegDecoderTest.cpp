#include "display/JpegDecoder.h"
#include "display/LcdPicture.h"
#include "display/LcdSigns.h"

#include <QBuffer>
#include <QFile>
#include <QPainter>
#include <QTemporaryFile>

#include <gtest/gtest.h>

#include <random>

namespace varnex {
namespace {

QByteArray EncodeJpeg(const QImage& image)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPG", 95);
    return bytes;
}

// A 40 x 30 picture: left half red, right half blue.
QByteArray TwoColourJpeg()
{
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(Qt::red);
    QPainter(&image).fillRect(20, 0, 20, 30, Qt::blue);
    return EncodeJpeg(image);
}

bool Near(const QColor& actual, const QColor& expected, int tolerance = 40)
{
    return std::abs(actual.red() - expected.red()) <= tolerance
        && std::abs(actual.green() - expected.green()) <= tolerance
        && std::abs(actual.blue() - expected.blue()) <= tolerance;
}

TEST(DecodeJpeg, ValidPictureHasItsSizeAndColours)
{
    const QByteArray jpeg = TwoColourJpeg();
    ASSERT_FALSE(jpeg.isEmpty()) << "the test needs Qt's JPEG writer";
    const JpegDecodeResult result = DecodeJpeg(jpeg);
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    EXPECT_TRUE(result.error.isEmpty());
    EXPECT_EQ(result.image.size(), QSize(40, 30));
    EXPECT_TRUE(Near(result.image.pixelColor(5, 15), Qt::red)) << "left half";
    EXPECT_TRUE(Near(result.image.pixelColor(35, 15), Qt::blue)) << "right half";
}

TEST(DecodeJpeg, GreyscalePictureComesOutAsRgb)
{
    QImage grey(16, 8, QImage::Format_Grayscale8);
    grey.fill(200);
    const JpegDecodeResult result = DecodeJpeg(EncodeJpeg(grey));
    ASSERT_TRUE(result.ok()) << result.error.toStdString();
    EXPECT_EQ(result.image.format(), QImage::Format_RGB888);
    EXPECT_TRUE(Near(result.image.pixelColor(8, 4), QColor(200, 200, 200), 8));
}

struct BadData {
    const char* what;
    QByteArray bytes;
};

std::vector<BadData> BadPictures()
{
    const QByteArray good = TwoColourJpeg();
    QByteArray notJpeg = good;
    notJpeg[0] = 'X';  // no start-of-image marker
    QByteArray huge = good;
    const int frame = huge.indexOf(QByteArray("\xFF\xC0", 2));
    if (frame >= 0) {  // height and width of the frame header set to 60000
        huge[frame + 5] = char(0xEA); huge[frame + 6] = char(0x60);
        huge[frame + 7] = char(0xEA); huge[frame + 8] = char(0x60);
    }
    return {
        {"empty", QByteArray()},
        {"only the start marker", QByteArray("\xFF\xD8", 2)},
        {"header without scan data", good.left(good.indexOf(QByteArray("\xFF\xDA", 2)))},
        {"truncated in the scan data", good.left(good.size() - 40)},
        {"truncated to half", good.left(good.size() / 2)},
        {"not a JPEG at all", notJpeg},
        {"text", QByteArray("REL sign")},
        {"zeros", QByteArray(4096, '\0')},
        {"frame of 60000 x 60000", huge},
    };
}

TEST(DecodeJpeg, DamagedDataGivesAnErrorInsteadOfEndingTheProgram)
{
    for (const BadData& bad : BadPictures()) {
        SCOPED_TRACE(bad.what);
        const JpegDecodeResult result = DecodeJpeg(bad.bytes);
        EXPECT_FALSE(result.ok());
        EXPECT_TRUE(result.image.isNull());
        EXPECT_FALSE(result.error.isEmpty());
    }
}

TEST(DecodeJpeg, EveryPrefixOfAPictureIsHandled)
{
    const QByteArray good = TwoColourJpeg();
    int decoded = 0;
    for (int length = 0; length < good.size(); length += 7) {
        const JpegDecodeResult result = DecodeJpeg(good.left(length));
        EXPECT_EQ(result.ok(), result.error.isEmpty()) << "length " << length;
        decoded += result.ok();
    }
    EXPECT_EQ(decoded, 0) << "a cut picture is never taken for a whole one";
    EXPECT_TRUE(DecodeJpeg(good).ok());
}

TEST(DecodeJpeg, RandomlyDamagedPicturesNeverCrash)
{
    const QByteArray good = TwoColourJpeg();
    std::mt19937 random(20261209);
    int decoded = 0, refused = 0;
    for (int round = 0; round < 3000; ++round) {
        QByteArray damaged = good;
        const int changes = 1 + static_cast<int>(random() % 8);
        for (int i = 0; i < changes; ++i)
            damaged[static_cast<int>(random() % damaged.size())] = static_cast<char>(random() & 0xFF);
        const JpegDecodeResult result = DecodeJpeg(damaged);
        // either a whole picture of a sane size, or an error text: never both, never neither
        if (result.ok()) {
            EXPECT_TRUE(result.error.isEmpty());
            EXPECT_LE(result.image.width(), kMaxJpegSide);
            EXPECT_LE(result.image.height(), kMaxJpegSide);
            ++decoded;
        } else {
            EXPECT_FALSE(result.error.isEmpty());
            ++refused;
        }
    }
    EXPECT_GT(refused, 0);
    EXPECT_GT(decoded, 0) << "damage in the scan data still gives a picture";
}

struct SignCase {
    LcdSign sign;
    QSize size;
};

TEST(LcdSigns, EverySignPictureIsEmbeddedAndDecodes)
{
    const SignCase cases[] = {
        {LcdSign::Hold, QSize(48, 24)},   {LcdSign::Rel, QSize(46, 24)},
        {LcdSign::Data, QSize(52, 30)},   {LcdSign::Linked, QSize(25, 24)},
        {LcdSign::NotLinked, QSize(25, 24)},
    };
    for (const SignCase& c : cases) {
        QString error;
        const QImage image = LoadLcdSign(c.sign, &error);
        EXPECT_EQ(image.size(), c.size) << LcdSignPath(c.sign).toStdString() << ": " << error.toStdString();
    }
    EXPECT_TRUE(LcdSignPath(LcdSign::Rel).endsWith(QLatin1String(".jpg")));
    EXPECT_TRUE(LcdSignPath(LcdSign::Data).endsWith(QLatin1String(".jpg")));
    EXPECT_TRUE(LcdSignPath(LcdSign::Hold).endsWith(QLatin1String(".bmp")));
}

TEST(LcdSigns, JpegSignsKeepTheGlassColourAroundTheirDrawing)
{
    const QImage rel = LoadLcdSign(LcdSign::Rel);
    ASSERT_FALSE(rel.isNull());
    EXPECT_TRUE(Near(rel.pixelColor(rel.width() - 1, rel.height() - 1), QColor(0xA6, 0xCA, 0xF0), 12));
}

TEST(LcdSigns, MissingJpegFileIsAnError)
{
    QString error;
    EXPECT_TRUE(LoadJpegFile(QStringLiteral("/nonexistent/rel.jpg"), &error).isNull());
    EXPECT_FALSE(error.isEmpty());
}

TEST(LcdSigns, CorruptJpegSignIsDrawnAsItsText)
{
    QTemporaryFile file;
    ASSERT_TRUE(file.open());
    const QByteArray good = TwoColourJpeg();
    file.write(good.left(good.size() / 3));
    file.close();

    QString error;
    const QImage image = LoadJpegFile(file.fileName(), &error);
    EXPECT_TRUE(image.isNull());
    EXPECT_FALSE(error.isEmpty());

    LcdPicture sign(image, QStringLiteral("REL"));
    sign.resize(46, 24);
    EXPECT_FALSE(sign.hasPicture());
    QImage drawn(sign.size(), QImage::Format_ARGB32);
    drawn.fill(Qt::transparent);
    sign.render(&drawn);
    int ink = 0, clear = 0;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = 0; x < drawn.width(); ++x)
            (qAlpha(drawn.pixel(x, y)) > 128 ? ink : clear)++;
    EXPECT_GT(ink, 40) << "the framed text REL";
    EXPECT_GT(clear, ink) << "the glass shows through around the text";
}

} // namespace
} // namespace varnex
