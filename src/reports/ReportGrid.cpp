#include "reports/ReportGrid.h"

namespace {
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
                       int32_t line2, int32_t column2, RuleStyle style)
{
    const RuleEnds e = ruleEnds(model, line1, column1, line2, column2);
    if (style == RuleStyle::Solid) {
        g.drawLine(e.x1, e.y1, e.x2, e.y2);
        return;
    }
    for (int64_t y = e.y1; y < e.y2; y += 4) {
        g.drawLine(e.x1, static_cast<int>(y), e.x2, static_cast<int>(y + 1));
    }
}
