// The trend view's exports: PNG at 1× and 2× with drawn content, SVG that parses and
// holds the axis texts, PDF whose caption pdftotext reads back.
#include "app/trend/TrendFeed.h"
#include "app/trend/TrendPictureExport.h"
#include "app/trend/TrendStatistics.h"
#include "SimulatedRun.h"

#include <QFile>
#include <QProcess>
#include <QSvgRenderer>
#include <QTemporaryDir>
#include <QXmlStreamReader>

#include <gtest/gtest.h>

namespace varnex {
namespace {

using testing::BerlinMs;

class TrendExport : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir_.isValid());
        testing::FeedSimulatedRun(feed_, start_, 8 * 3600, 1000);
        options_.zone = zone_;
        request_.size = QSize(900, 560);
        request_.fromMs = double(start_);
        request_.toMs = double(start_ + 8 * 3600'000LL);
        request_.title = QStringLiteral("Trend");
    }
    QString path(const char* name) const { return dir_.filePath(QString::fromLatin1(name)); }
    QString write(TrendPictureFormat format, const char* name, double scale = 1.0)
    {
        request_.format = format;
        request_.scale = scale;
        const QString file = path(name);
        const QString error = WriteTrendPicture(RenderTrendPicture(feed_.series(), options_, request_), file);
        EXPECT_TRUE(error.isEmpty()) << error.toStdString();
        return file;
    }

    QTimeZone zone_{"Europe/Berlin"};
    TrendFeed feed_{zone_, [] { return QDate(2026, 12, 9); }};
    std::int64_t start_ = BerlinMs(2026, 12, 9, 22, 0);
    TrendRenderOptions options_;
    TrendPictureRequest request_;
    QTemporaryDir dir_;
};

int CountPixels(const QImage& image, const std::function<bool(QRgb)>& match)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += match(image.pixel(x, y)) ? 1 : 0;
    return n;
}

TEST_F(TrendExport, PngHasTheRequestedSizeAtOneAndTwoTimesAndShowsTheCurve)
{
    for (double scale : {1.0, 2.0}) {
        const QImage image(write(TrendPictureFormat::Png, scale == 1.0 ? "one.png" : "two.png", scale));
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.width(), int(900 * scale));
        EXPECT_EQ(image.height(), int(560 * scale));
        // The curve in its blue, the overload marks in red, and text in black.
        const int blue = CountPixels(image, [](QRgb p) { return qBlue(p) > 150 && qRed(p) < 60 && qGreen(p) < 140; });
        const int red = CountPixels(image, [](QRgb p) { return qRed(p) > 180 && qGreen(p) < 60 && qBlue(p) < 60; });
        const int dark = CountPixels(image, [](QRgb p) { return qGray(p) < 60; });
        EXPECT_GT(blue, int(300 * scale * scale)) << "scale " << scale;
        EXPECT_GT(red, int(20 * scale * scale)) << "scale " << scale;
        EXPECT_GT(dark, int(2000 * scale * scale)) << "scale " << scale;
    }
}

TEST_F(TrendExport, SvgParsesAndHoldsTheAxisTextsAndTheCaption)
{
    QFile file(write(TrendPictureFormat::Svg, "trend.svg"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray svg = file.readAll();
    QXmlStreamReader xml(svg);
    QStringList texts;
    while (!xml.atEnd()) {
        if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("text"))
            texts << xml.readElementText(QXmlStreamReader::IncludeChildElements).trimmed();
    }
    ASSERT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_TRUE(QSvgRenderer(svg).isValid());
    // Hour labels of the night and the date under the first tick and at midnight, each a
    // text of its own.
    for (const char* expected : {"23:00", "00:00", "05:00", "2026-12-09", "2026-12-10"})
        EXPECT_TRUE(texts.contains(QString::fromUtf8(expected))) << expected << " not in " << texts.join('|').left(400).toStdString();
    // A text runs on in a new element where the glyphs come from another font (the Ω).
    const QString all = texts.join(QString());
    for (const char* expected : {"DCV [V]", "OHM [k\u03A9]", "\u03C3"})
        EXPECT_TRUE(all.contains(QString::fromUtf8(expected))) << expected;
    EXPECT_TRUE(all.contains(QStringLiteral("Trend 2026-12-09 22:00:00 \u2013 2026-12-10 06:00:00 (8 h 00 min)")));
}

TEST_F(TrendExport, PdfCaptionIsReadByPdftotext)
{
    const QString file = write(TrendPictureFormat::Pdf, "trend.pdf");
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), file, QStringLiteral("-")});
    ASSERT_TRUE(pdftotext.waitForFinished(30000));
    ASSERT_EQ(pdftotext.exitCode(), 0) << pdftotext.readAllStandardError().toStdString();
    const QString text = QString::fromUtf8(pdftotext.readAllStandardOutput());
    EXPECT_TRUE(text.contains(QStringLiteral("Trend 2026-12-09 22:00:00"))) << text.toStdString();
    // The statistics line of each lane, with the count of the readings in the span.
    const std::vector<LaneStatistics> stats = SpanStatistics(feed_.series(), request_.fromMs, request_.toMs);
    ASSERT_EQ(stats.size(), 2u);
    for (const LaneStatistics& s : stats) {
        const QString line = StatisticsLine(feed_.series().lanes()[std::size_t(s.lane)], s);
        EXPECT_TRUE(text.simplified().contains(line.left(40).simplified())) << line.toStdString();
    }
    EXPECT_TRUE(text.contains(QStringLiteral("overloads")));
}

TEST_F(TrendExport, TheFormatComesFromTheExtensionAndAFailedWriteSaysWhy)
{
    EXPECT_EQ(PictureFormatOf("a.PNG"), TrendPictureFormat::Png);
    EXPECT_EQ(PictureFormatOf("a.b.svg"), TrendPictureFormat::Svg);
    EXPECT_EQ(PictureFormatOf("x.Pdf"), TrendPictureFormat::Pdf);
    EXPECT_FALSE(PictureFormatOf("x.bmp"));
    EXPECT_FALSE(PictureFormatOf("png"));
    request_.format = TrendPictureFormat::Svg;
    const QString error =
        WriteTrendPicture(RenderTrendPicture(feed_.series(), options_, request_), path("no/such/folder/a.svg"));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_FALSE(QFile::exists(path("no/such/folder/a.svg")));
}

} // namespace
} // namespace varnex
