#include "reports/ReportGrid.h"

#include <algorithm>

namespace {
// The least room, in pixels, between a text and the next column or figure.
constexpr double kTextGap = 2;

struct RuleEnds
{
    int32_t x1;
    int32_t y1;
    int32_t x2;
    int32_t y2;
};

RuleEnds ruleEnds(const strPreVal &model, int32_t line1, int32_t column1, int32_t line2, int32_t column2)
{
    const strDrawPos p1 = getDrawPos(model, line1, column1);
    const strDrawPos p2 = getDrawPos(model, line2, column2);
    return {p1.X, convertToInt32(p1.Y + model.TopOffset / 2), p2.X,
            convertToInt32(p2.Y + model.TopOffset / 2)};
}
} // namespace

void DrawPStr(ReportSurface &g, const strPreVal &model, const QString &text, int32_t size, int32_t line,
              int32_t column)
{
    const strDrawPos p = getDrawPos(model, line, column);
    g.setTextSize(static_cast<float>(size * model.Scale));
    g.drawText(p.X, p.Y, text);
}

void DrawPName(ReportSurface &g, const strPreVal &model, const QString &text, int32_t size, int32_t line,
               int32_t column, int32_t limitColumn)
{
    const strDrawPos p = getDrawPos(model, line, column);
    const double room = getDrawPos(model, line, limitColumn).X - kTextGap - p.X;
    g.setTextSize(static_cast<float>(size * model.Scale));
    g.drawText(p.X, p.Y, g.metrics().elidedText(text, Qt::ElideRight, std::max(0.0, room)));
}

std::vector<FigurePlacement> DrawPFigures(ReportSurface &g, const strPreVal &model,
                                          const std::vector<RowFigure> &figures, int32_t size, int32_t line)
{
    // Fitted from right to left: a smaller figure's blanks are narrower too, so its digits
    // begin further left, and the figure before it is fitted against where they really begin.
    std::vector<FigurePlacement> placements(figures.size());
    double limit = model.PageWidth;
    for (size_t i = figures.size(); i-- > 0;) {
        const QString &text = figures[i].text;
        const qsizetype blanks =
            std::find_if(text.begin(), text.end(), [](QChar c) { return c != u' '; }) - text.begin();
        const double x = getDrawPos(model, line, figures[i].column).X;
        FigurePlacement &placement = placements[i];
        for (placement.size = size;; --placement.size) {
            g.setTextSize(static_cast<float>(placement.size * model.Scale));
            const QFontMetricsF metrics = g.metrics();
            placement.digitsLeft = x + metrics.horizontalAdvance(text.left(blanks));
            placement.digitsRight = x + metrics.horizontalAdvance(text);
            if (placement.size <= 1 || placement.digitsRight + kTextGap <= limit) {
                break;
            }
        }
        limit = placement.digitsLeft;
    }
    for (size_t i = 0; i < figures.size(); ++i) {
        DrawPStr(g, model, figures[i].text, placements[i].size, line, figures[i].column);
    }
    return placements;
}

void DrawPline(ReportSurface &g, const strPreVal &model, int32_t line1, int32_t column1, int32_t line2,
               int32_t column2, RuleStyle style)
{
    const RuleEnds e = ruleEnds(model, line1, column1, line2, column2);
    if (style == RuleStyle::Solid) {
        g.drawLine(e.x1, e.y1, e.x2, e.y2);
        return;
    }
    for (int64_t x = e.x1; x < e.x2; x += 4) {
        g.drawLine(static_cast<int>(x), e.y1, static_cast<int>(x + 1), e.y2);
    }
}

void DrawPlineVertical(ReportSurface &g, const strPreVal &model, int32_t line1, int32_t column1,
                       int32_t line2, int32_t column2, RuleStyle style, const std::vector<RuleGap> &gaps)
{
    const RuleEnds e = ruleEnds(model, line1, column1, line2, column2);
    if (style == RuleStyle::Solid) {
        g.drawLine(e.x1, e.y1, e.x2, e.y2);
        return;
    }
    for (int64_t y = e.y1; y < e.y2; y += 4) {
        const bool inGap = std::any_of(gaps.begin(), gaps.end(), [y](const RuleGap &gap) {
            return y + 1 >= gap.top && y <= gap.bottom;
        });
        if (!inGap) {
            g.drawLine(e.x1, static_cast<int>(y), e.x2, static_cast<int>(y + 1));
        }
    }
}
