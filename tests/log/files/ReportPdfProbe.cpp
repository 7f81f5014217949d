#include "ReportPdfProbe.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QMap>
#include <QXmlStreamReader>

namespace varnex::testing {

namespace {

QByteArray Run(const QString& program, const QStringList& args)
{
    QProcess process;
    process.start(program, args);
    process.waitForFinished(30000);
    return process.readAllStandardOutput();
}

} // namespace

QString ReportPdfProbe::missingTool()
{
    for (const char* tool : {"pdftotext", "pdftohtml", "pdffonts", "pdfinfo"})
        if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty())
            return QString::fromLatin1(tool);
    return {};
}

ReportPdfProbe::ReportPdfProbe(const QString& pdf) : pdf_(pdf)
{
    // pdftotext -bbox: <page ...> elements holding <word xMin= yMin= xMax= yMax=>text</word>.
    QXmlStreamReader bbox(Run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), pdf, QStringLiteral("-")}));
    int page = 0;
    while (!bbox.atEnd()) {
        if (bbox.readNext() != QXmlStreamReader::StartElement)
            continue;
        if (bbox.name() == QLatin1String("page")) {
            ++page;
        } else if (bbox.name() == QLatin1String("word")) {
            PdfWord w;
            w.page = page;
            const QXmlStreamAttributes a = bbox.attributes();
            w.xMin = a.value("xMin").toDouble();
            w.yMin = a.value("yMin").toDouble();
            w.xMax = a.value("xMax").toDouble();
            w.yMax = a.value("yMax").toDouble();
            w.text = bbox.readElementText();
            words_.push_back(w);
        }
    }

    // pdftohtml -xml: <fontspec id size family/> and <text font=id>text</text> per page.
    QXmlStreamReader html(Run(QStringLiteral("pdftohtml"),
                              {QStringLiteral("-xml"), QStringLiteral("-i"), QStringLiteral("-stdout"),
                               QStringLiteral("-zoom"), QStringLiteral("1"), pdf}));
    struct FontFace {
        QString family;
        double size;
    };
    QMap<QString, FontFace> faces;
    page = 0;
    while (!html.atEnd()) {
        if (html.readNext() != QXmlStreamReader::StartElement)
            continue;
        const QXmlStreamAttributes a = html.attributes();
        if (html.name() == QLatin1String("page")) {
            ++page;
        } else if (html.name() == QLatin1String("fontspec")) {
            faces.insert(a.value("id").toString(), FontFace{a.value("family").toString(), a.value("size").toDouble()});
        } else if (html.name() == QLatin1String("text")) {
            const FontFace face = faces.value(a.value("font").toString());
            PdfTextRun run;
            run.page = page;
            run.family = face.family;
            run.size = face.size;
            // Bold or italic text would come wrapped in <b>/<i>: keep its characters.
            run.text = html.readElementText(QXmlStreamReader::IncludeChildElements);
            runs_.push_back(run);
        }
    }
}

bool ReportPdfProbe::pageSize(double& widthPt, double& heightPt) const
{
    const QString info = QString::fromUtf8(Run(QStringLiteral("pdfinfo"), {pdf_}));
    const auto match = QRegularExpression(QStringLiteral("Page size:\\s+([\\d.]+) x ([\\d.]+) pts")).match(info);
    if (!match.hasMatch())
        return false;
    widthPt = match.captured(1).toDouble();
    heightPt = match.captured(2).toDouble();
    return true;
}

QStringList ReportPdfProbe::fonts() const
{
    QStringList names;
    const QStringList lines = QString::fromUtf8(Run(QStringLiteral("pdffonts"), {pdf_})).split(QLatin1Char('\n'));
    for (qsizetype i = 2; i < lines.size(); ++i) { // two header lines
        const QString name = lines[i].section(QLatin1Char(' '), 0, 0, QString::SectionSkipEmpty);
        if (!name.isEmpty())
            names << name;
    }
    return names;
}

const PdfWord* ReportPdfProbe::word(int page, const QString& text) const
{
    for (const PdfWord& w : words_)
        if (w.page == page && w.text == text)
            return &w;
    return nullptr;
}

std::vector<PdfTextRun> ReportPdfProbe::runsOf(const QString& text) const
{
    std::vector<PdfTextRun> found;
    for (const PdfTextRun& r : runs_)
        if (r.text.trimmed() == text)
            found.push_back(r);
    return found;
}

} // namespace varnex::testing
