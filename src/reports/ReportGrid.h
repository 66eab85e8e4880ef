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
