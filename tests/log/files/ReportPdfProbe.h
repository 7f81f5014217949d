#pragma once
// Reads a printed report back with poppler's tools: the page size (pdfinfo), every word with
// its box (pdftotext -bbox), every text run with its font family and size (pdftohtml -xml)
// and the embedded fonts (pdffonts). Positions are in points from the page's top left.
#include <QString>
#include <QStringList>

#include <vector>

namespace varnex::testing {

constexpr double kPointsPerMm = 72.0 / 25.4;

struct PdfWord {
    int page = 0;
    QString text;
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
};

struct PdfTextRun {
    int page = 0;
    QString text;
    QString family; // as pdftohtml names it, e.g. "LiberationSans"
    double size = 0; // points
};

class ReportPdfProbe {
public:
    // Empty when pdftotext, pdftohtml, pdffonts or pdfinfo is missing.
    static QString missingTool();

    explicit ReportPdfProbe(const QString& pdf);

    bool pageSize(double& widthPt, double& heightPt) const;
    const std::vector<PdfWord>& words() const { return words_; }
    const std::vector<PdfTextRun>& runs() const { return runs_; }
    QStringList fonts() const; // the name column of pdffonts

    // The first word with this text on page, or nullptr.
    const PdfWord* word(int page, const QString& text) const;
    // The runs whose text is exactly text, on any page.
    std::vector<PdfTextRun> runsOf(const QString& text) const;

private:
    QString pdf_;
    std::vector<PdfWord> words_;
    std::vector<PdfTextRun> runs_;
};

} // namespace varnex::testing
