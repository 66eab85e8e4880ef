#include "reports/ReportGrid.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

namespace {
// The least room, in pixels, between a text and the next column or figure.
constexpr double kTextGap = 2;
// The report face's glyphs stand in their em square: 0.88 of the size above the baseline
// and 0.12 below it. Lines whose squares touch are set solid; they must not reach further.
constexpr double kEmAbove = 0.88;
constexpr double kEmBelow = 0.12;

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

float scaledTextSize(const strPreVal &model, int32_t size)
{
    // A hair over the product, so that 10 x 0.7 is 7 and not 6 for the rounding of doubles.
    return static_cast<float>(std::max(1.0, std::floor(size * model.Scale + 1e-9)));
}

void DrawPStr(ReportSurface &g, const strPreVal &model, const QString &text, int32_t size, int32_t line,
              int32_t column)
{
    const strDrawPos p = getDrawPos(model, line, column);
    g.setTextSize(scaledTextSize(model, size));
    g.drawText(p.X, p.Y, text);
}

void DrawPName(ReportSurface &g, const strPreVal &model, const QString &text, int32_t size, int32_t line,
               int32_t column, int32_t limitColumn)
{
    const strDrawPos p = getDrawPos(model, line, column);
    const double room = getDrawPos(model, line, limitColumn).X - kTextGap - p.X;
    g.setTextSize(scaledTextSize(model, size));
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
            g.setTextSize(scaledTextSize(model, placement.size));
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

namespace {
// The advance of a text in the report face at a size on the model's page.
class TextWidths
{
public:
    explicit TextWidths(const strPreVal &model) : m_model(model) {}
    double width(const QString &text, int32_t size)
    {
        const float scaled = scaledTextSize(m_model, size);
        auto at = m_metrics.find(scaled);
        if (at == m_metrics.end()) {
            at = m_metrics
                     .emplace(scaled, QFontMetricsF(ReportSurface::reportFont(QStringLiteral("System"), false,
                                                                              false, scaled)))
                     .first;
        }
        return at->second.horizontalAdvance(text);
    }

private:
    const strPreVal &m_model;
    std::map<float, QFontMetricsF> m_metrics;
};

// Where a rule under a line runs, in pixels under its texts' baseline.
int32_t ruleDepth(const strPreVal &model)
{
    const int32_t baseline = getDrawPos(model, 1, 1).Y;
    return convertToInt32(baseline + model.TopOffset / 2) - baseline;
}
} // namespace

bool textsFitAcross(const strPreVal &model, const GridRoom &room)
{
    TextWidths widths(model);
    return std::all_of(room.spans.begin(), room.spans.end(), [&](const GridRoom::Span &span) {
        const double limit =
            span.limitColumn > 0 ? getDrawPos(model, 1, span.limitColumn).X : double(model.PageWidth);
        return getDrawPos(model, 1, span.column).X + widths.width(span.text, span.size) + kTextGap <= limit;
    });
}

bool textsFitDown(const strPreVal &model, const GridRoom &room)
{
    // Baselines fall on whole pixels, so lines stand one pixel closer in places than their
    // height: the closest pair on the page decides.
    const int32_t lines = convertToInt32(model.LinesPerPage);
    const auto closest = [&](int32_t apart) {
        int32_t least = std::numeric_limits<int32_t>::max();
        for (int32_t line = 1; line + apart <= lines; ++line) {
            least = std::min(least, getDrawPos(model, line + apart, 1).Y - getDrawPos(model, line, 1).Y);
        }
        return least;
    };
    const double rule = ruleDepth(model);
    const auto above = [&](int32_t size) { return kEmAbove * scaledTextSize(model, size); };
    const auto below = [&](int32_t size, bool ruleUnder) {
        return std::max(kEmBelow * scaledTextSize(model, size), ruleUnder ? rule : 0.0);
    };
    // A hundredth of a pixel for the rounding of doubles: squares that touch are set solid.
    constexpr double kSlack = 0.01;
    const bool apart = std::all_of(room.stacks.begin(), room.stacks.end(), [&](const GridRoom::Stack &stack) {
        return below(stack.upperSize, stack.ruleUnder) + above(stack.lowerSize) <=
               closest(stack.linesApart) + kSlack;
    });
    return apart && getDrawPos(model, room.firstLine, 1).Y - above(room.firstSize) >= -kSlack &&
           getDrawPos(model, lines, 1).Y + below(room.lastSize, true) <= model.ScaledHeight + kSlack;
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
