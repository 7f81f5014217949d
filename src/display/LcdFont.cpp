#include "display/LcdFont.h"

#include <QFile>
#include <QFontDatabase>

namespace varnex {

namespace {

const QString kInstalledSegmentFont =
    QStringLiteral("/usr/share/fonts/truetype/dseg/DSEG7Classic-Bold.ttf");
const QString kSegmentFamily = QStringLiteral("DSEG7 Classic");

struct SegmentFontState {
    QString path = kInstalledSegmentFont;
    bool resolved = false;
    QString family;
};

SegmentFontState& State()
{
    static SegmentFontState state;
    return state;
}

QString ResolveSegmentFamily(const QString& path)
{
    if (path == kInstalledSegmentFont && QFontDatabase::families().contains(kSegmentFamily)
        && QFontDatabase::isScalable(kSegmentFamily, QStringLiteral("Bold")))
        return kSegmentFamily;
    if (!QFile::exists(path))
        return {};
    const int id = QFontDatabase::addApplicationFont(path);
    if (id < 0)
        return {};
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    return families.isEmpty() ? QString() : families.first();
}

} // namespace

QString SegmentFontFamily()
{
    SegmentFontState& state = State();
    if (!state.resolved) {
        state.family = ResolveSegmentFamily(state.path);
        state.resolved = true;
    }
    return state.family;
}

void SetSegmentFontPath(const QString& path)
{
    SegmentFontState& state = State();
    state.path = path.isEmpty() ? kInstalledSegmentFont : path;
    state.resolved = false;
    state.family.clear();
}

QFont LcdFont(LcdFace face, int pixelHeight)
{
    QFont font;
    if (face == LcdFace::Segments) {
        const QString family = SegmentFontFamily();
        if (!family.isEmpty())
            font.setFamily(family);
    } else {
        font.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                          QStringLiteral("Sans Serif")});
    }
    font.setBold(true);
    font.setPixelSize(qMax(1, pixelHeight));
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

QString SegmentGlyphs(const QString& meterText)
{
    if (meterText == QLatin1String("--"))
        return QStringLiteral("-");
    QString glyphs;
    glyphs.reserve(meterText.size());
    for (const QChar c : meterText) {
        switch (c.unicode()) {
        case 'v': glyphs += QLatin1Char('0'); break;  // the "O" of OL: all outer segments
        case '@': glyphs += QLatin1Char('L'); break;
        case 'd': glyphs += QLatin1Char(' '); break;
        default: glyphs += c; break;
        }
    }
    return glyphs;
}

QString LegendGlyphs(const QString& meterText)
{
    QString glyphs = meterText;
    glyphs.replace(QLatin1Char('*'), QChar(0x03A9));
    return glyphs;
}

} // namespace varnex
