#pragma once
// The drawing primitives of the report grid: every text and rule of a report is placed on a
// grid cell (line, column, both counted from 1) of the page model it is drawn with.

#include "reports/PageModel.h"
#include "reports/ReportSurface.h"

#include <QString>

#include <cstdint>
#include <vector>

enum class RuleStyle
{
    Solid,
    Dotted
};

// A text size on the model's page: the size times the model's Scale, in whole pixels and
// never above that product, so that a text drawn smaller stays inside the room it was given.
float scaledTextSize(const strPreVal &model, int32_t size);

// The text in that size (before the model's scale), left end and baseline at the cell.
void DrawPStr(ReportSurface &g, const strPreVal &model, const QString &text, int32_t size, int32_t line,
              int32_t column);
// The same, cut at its end with "…" where it would come closer than a small gap to the left
// end of column limitColumn: a long name stays clear of the next column.
void DrawPName(ReportSurface &g, const strPreVal &model, const QString &text, int32_t size, int32_t line,
               int32_t column, int32_t limitColumn);

// A figure of a row: an amount padded with blanks on the left (rightAlignedAmount), drawn at
// its column's left end.
struct RowFigure
{
    QString text;
    int32_t column = 0;
};

// Where a figure of a row is drawn: its size and the left and right ends of its digits.
struct FigurePlacement
{
    int32_t size = 0;
    double digitsLeft = 0;
    double digitsRight = 0;
};

// Draws the figures of one grid line, given left to right. Each is drawn in the given size
// where its digits end at least a small gap before the next figure's digits (the last one's
// before the page's right edge), and otherwise in the largest smaller size that leaves that
// gap, so that no figure runs into its neighbour on narrow paper. Returns the placements.
std::vector<FigurePlacement> DrawPFigures(ReportSurface &g, const strPreVal &model,
                                          const std::vector<RowFigure> &figures, int32_t size, int32_t line);

// What a report's page needs of its grid so that no text meets another: used to find the
// scale at which its texts fit a page smaller than the preview lays them out for. Sizes are
// before the model's Scale.
struct GridRoom
{
    // A text at a column that must end a gap before the left end of limitColumn, or before
    // the page's right edge where that is 0. A blank-padded figure stands as its widest
    // digits; an empty text marks where a rule ends.
    struct Span
    {
        QString text;
        int32_t size = 0;
        int32_t column = 0;
        int32_t limitColumn = 0;
    };
    // Two lines linesApart apart anywhere on the page: the largest text on the upper one,
    // whether a rule runs under it, and the largest text on the lower one.
    struct Stack
    {
        int32_t upperSize = 0;
        bool ruleUnder = false;
        int32_t lowerSize = 0;
        int32_t linesApart = 1;
    };
    std::vector<Span> spans;
    std::vector<Stack> stacks;
    // The first line with a text and its largest text, which must stay below the page's top,
    // and the largest text of the last line, with a rule under it, which must stay above the
    // page's bottom.
    int32_t firstLine = 1;
    int32_t firstSize = 0;
    int32_t lastSize = 0;
    // The figures' size: they must not be drawn below the least readable size.
    int32_t figureSize = 0;
};

// Whether, at the model's Scale, every text of the room keeps a gap from the next text or
// column across the line, and ends inside the page.
bool textsFitAcross(const strPreVal &model, const GridRoom &room);
// Whether, at the model's Scale, no line's texts (their em squares, and the rule under them)
// reach into the next line's, and the first and last lines stay inside the page.
bool textsFitDown(const strPreVal &model, const GridRoom &room);

// A rule between two cells, half a top margin under their baselines; dotted rules are dashes
// two pixels long, four pixels apart, along x.
void DrawPline(ReportSurface &g, const strPreVal &model, int32_t line1, int32_t column1, int32_t line2,
               int32_t column2, RuleStyle style);
// A stretch of a rule along y, in pixels, where it gives way to a text.
struct RuleGap
{
    double top = 0;
    double bottom = 0;
};

// The same with the dashes running along y; a dotted rule leaves out the dashes that would
// fall in one of the gaps.
void DrawPlineVertical(ReportSurface &g, const strPreVal &model, int32_t line1, int32_t column1,
                       int32_t line2, int32_t column2, RuleStyle style,
                       const std::vector<RuleGap> &gaps = {});
