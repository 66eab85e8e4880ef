#pragma once
// The drawing primitives of the report grid: every text and rule of a report is placed on a
// grid cell (line, column, both counted from 1) of the page model it is drawn with.

#include "reports/PageModel.h"
#include "reports/ReportSurface.h"

#include <QString>

#include <cstdint>

enum class RuleStyle
{
    Solid,
    Dotted
};

// The text in that size (before the model's scale), left end and baseline at the cell.
void DrawPStr(ReportSurface &g, const strPreVal &model, const QString &text, int32_t size, int32_t line,
              int32_t column);
// A rule between two cells, half a top margin under their baselines; dotted rules are dashes
// two pixels long, four pixels apart, along x.
void DrawPline(ReportSurface &g, const strPreVal &model, int32_t line1, int32_t column1, int32_t line2,
               int32_t column2, RuleStyle style);
// The same with the dashes running along y.
void DrawPlineVertical(ReportSurface &g, const strPreVal &model, int32_t line1, int32_t column1,
                       int32_t line2, int32_t column2, RuleStyle style);
