#include "reports/ReportSurface.h"

#include <QFontDatabase>

#include <algorithm>
#include <cmath>

namespace {
QString fixedPitchFamily()
{
    static const QString family = [] {
        // A monospaced face that has the Japanese glyphs too keeps full-width text at twice
        // the width of a digit, so blank-padded columns line up.
        const QString cjkMono = QStringLiteral("Noto Sans Mono CJK JP");
        if (QFontDatabase::families().contains(cjkMono)) {
            return cjkMono;
        }
        return QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    }();
    return family;
}
} // namespace

QFont ReportSurface::reportFont(const QString &name, bool bold, bool underline, float size)
{
    QFont font(name.isEmpty() || name == QLatin1String("System") ? fixedPitchFamily() : name);
    font.setStyleHint(QFont::TypeWriter);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(size))));
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}
