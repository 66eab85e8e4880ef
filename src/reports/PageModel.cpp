#include "reports/PageModel.h"

#include "reports/AssetReport.h"
#include "reports/ReportGrid.h"
#include "reports/YearlyReport.h"

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
                           int32_t resolution, double scale)
{
    strPreVal model = preview;
    model.Scale = 1.0;
    model.LinesPerPage = 50;
    model.PageWidth = pageWidth;
    model.PageHeight = pageHeight;
    model.Resolution = resolution;
    deriveSizes(model);
    // Set after the grid: it fills the page whatever size the texts are drawn in.
    model.Scale = scale;
    model.LeftOffset = preview.LeftOffset * scale;
    model.LeftIndent = convertToInt32(preview.LeftIndent * scale);
    return model;
}

namespace {
// Figures smaller than this are hard to read on paper.
constexpr double kLeastFigureSize = 5;

std::optional<GridRoom> roomOf(int32_t reportCode)
{
    switch (reportCode) {
    case kAssetReport:
        return assetReportRoom();
    case kYearlyReport:
        return yearlyReportRoom();
    default:
        return std::nullopt;
    }
}

struct PrinterFit
{
    double scale = 1.0;
    PageRoom room = PageRoom::Enough;
};

PrinterFit fitPrinterPage(int32_t reportCode, const strPreVal &preview, int32_t pageWidth, int32_t pageHeight)
{
    const std::optional<GridRoom> room = roomOf(reportCode);
    if (!room) {
        return {};
    }
    const auto modelAt = [&](double scale) {
        return printerPageModel(preview, pageWidth, pageHeight, 72, scale);
    };
    const auto fits = [&](double scale) {
        const strPreVal model = modelAt(scale);
        return textsFitDown(model, *room) && textsFitAcross(model, *room);
    };
    if (fits(1.0)) {
        return {};
    }
    const double least = kLeastFigureSize / room->figureSize;
    if (!fits(least)) {
        const bool down = textsFitDown(modelAt(least), *room);
        return {least, down ? PageRoom::TooNarrow : PageRoom::TooLow};
    }
    // Every text grows with the scale, so the texts fit up to some scale and not above it.
    double fitting = least;
    double tooLarge = 1.0;
    for (int step = 0; step < 20; ++step) {
        const double middle = (fitting + tooLarge) / 2;
        (fits(middle) ? fitting : tooLarge) = middle;
    }
    return {fitting, PageRoom::Enough};
}
} // namespace

PageRoom printerPageRoom(int32_t reportCode, const strPreVal &preview, int32_t pageWidth, int32_t pageHeight)
{
    return fitPrinterPage(reportCode, preview, pageWidth, pageHeight).room;
}

strPreVal fittedPrinterPageModel(int32_t reportCode, const strPreVal &preview, int32_t pageWidth,
                                 int32_t pageHeight, int32_t resolution)
{
    const PrinterFit fit = fitPrinterPage(reportCode, preview, pageWidth, pageHeight);
    return printerPageModel(preview, pageWidth, pageHeight, resolution, fit.scale);
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
