#include "reports/PageModel.h"

#include <cmath>
#include <limits>

int32_t convertToInt32(double value)
{
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= static_cast<double>(std::numeric_limits<int32_t>::max())) {
        return std::numeric_limits<int32_t>::max();
    }
    if (value <= static_cast<double>(std::numeric_limits<int32_t>::min())) {
        return std::numeric_limits<int32_t>::min();
    }
    return static_cast<int32_t>(std::trunc(value));
}

namespace {
// The derived sizes of a model whose page size, lines and columns are set.
void deriveSizes(strPreVal &model)
{
    model.ScaledHeight = convertToInt32(model.PageHeight * model.Scale);
    model.ScaledWidth = convertToInt32(model.PageWidth * model.Scale);
    model.LineHeight = model.ScaledHeight / model.LinesPerPage;
    model.ColWidth = model.ScaledWidth / model.ColsPerPage;
}
} // namespace

std::optional<strPreVal> previewPageModel(int32_t reportCode)
{
    strPreVal model;
    switch (reportCode) {
    case kAssetReport:
        model.PageWidth = 595;
        model.PageHeight = 847;
        model.LinesPerPage = 60;
        model.ColsPerPage = 50;
        model.TopOffset = 5;
        model.LeftOffset = 5;
        break;
    case kYearlyReport:
        model.PageWidth = 847;
        model.PageHeight = 1200;
        model.LinesPerPage = 100;
        model.ColsPerPage = 170;
        model.TopOffset = 2;
        model.LeftOffset = 2;
        break;
    default:
        return std::nullopt;
    }
    model.BaseTextSize = 50;
    model.Scale = 1.0;
    model.Resolution = 72;
    deriveSizes(model);
    model.LeftIndent = convertToInt32(model.ColWidth * 4);
    model.TopOffset *= model.Scale;
    model.LeftOffset *= model.Scale;
    return model;
}

strPreVal printerPageModel(const strPreVal &preview, int32_t pageWidth, int32_t pageHeight,
                           int32_t resolution)
{
    strPreVal model = preview;
    model.Scale = 1.0;
    model.LinesPerPage = 50;
    model.PageWidth = pageWidth;
    model.PageHeight = pageHeight;
    model.Resolution = resolution;
    deriveSizes(model);
    return model;
}

PageRoom printerPageRoom(const strPreVal &preview, int32_t pageWidth, int32_t pageHeight)
{
    // The figures of the yearly report, 8 pixels, are the smallest text of either report.
    constexpr double kLeastLineHeight = 4;
    const strPreVal printer = printerPageModel(preview, pageWidth, pageHeight, 72);
    if (printer.LineHeight < kLeastLineHeight) {
        return PageRoom::TooLow;
    }
    return printer.ColWidth < 1 ? PageRoom::TooNarrow : PageRoom::Enough;
}

strDrawPos getDrawPos(const strPreVal &model, int32_t line, int32_t column)
{
    strDrawPos pos;
    pos.Y = convertToInt32((line - 1) * model.LineHeight + model.TopOffset);
    pos.X = convertToInt32((column - 1) * model.ColWidth + model.LeftOffset + model.LeftIndent);
    return pos;
}

int32_t scrollMaximum(int32_t pageExtent, int32_t canvasExtent)
{
    return pageExtent - canvasExtent;
}
