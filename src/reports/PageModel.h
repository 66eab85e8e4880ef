#pragma once
// The page model of a report page: how large the page is, how many grid lines and columns
// it has, and where a grid cell lies in pixels. Plain values, shared by the preview page and
// the printer page.

#include <cstdint>
#include <optional>

struct strPreVal
{
    double LinesPerPage = 0;
    double ColsPerPage = 0;
    double TopOffset = 0;
    double LeftOffset = 0;
    double BaseTextSize = 0;
    double Scale = 0;
    double LineHeight = 0;
    double ColWidth = 0;
    int32_t PageHeight = 0;
    int32_t PageWidth = 0;
    int32_t Resolution = 0;
    int32_t ScaledHeight = 0;
    int32_t ScaledWidth = 0;
    int32_t LeftIndent = 0;
};

// Whether a printer page of that size (pixels at 72 dots per inch) holds a report's texts
// readably: drawn no smaller than the least size (about 5 points for its figures), each
// clear of the others and inside the page. Otherwise its lines (TooLow) or its columns
// (TooNarrow) are too close for the largest texts on them.
enum class PageRoom
{
    Enough,
    TooLow,
    TooNarrow
};
PageRoom printerPageRoom(int32_t reportCode, const strPreVal &preview, int32_t pageWidth, int32_t pageHeight);

// The pixel position of a grid cell: X the left end of its text, Y its text baseline.
struct strDrawPos
{
    int32_t X = 0;
    int32_t Y = 0;
};

inline constexpr int32_t kAssetReport = 1;
inline constexpr int32_t kYearlyReport = 2;

// The one conversion of a double to a 32-bit integer used by the reports: toward zero,
// clamped to the 32-bit range, NaN as 0 (a plain cast would be undefined out of range).
int32_t convertToInt32(double value);

// The preview page model of a report kind (1 asset report, 2 yearly report); none for any
// other kind. The page itself is PageWidth x PageHeight pixels at 72 dots per inch.
std::optional<strPreVal> previewPageModel(int32_t reportCode);

// The printer page model: 50 lines on the printer's page, the columns, margins, text size and
// indent kept from the preview page. The grid always fills the page; with a Scale below 1
// every text is drawn that much smaller, and the left margin and indent with them, while
// the top margin stays, so that a rule keeps its distance under its line's figures.
strPreVal printerPageModel(const strPreVal &preview, int32_t pageWidth, int32_t pageHeight,
                           int32_t resolution, double scale = 1.0);

// The printer page model a print of that report uses: Scale 1 where the report's texts fit
// the page's grid, as the preview lays them out; on a smaller page the largest Scale at which
// they keep clear of each other, down to the least size (printerPageRoom tells when not).
strPreVal fittedPrinterPageModel(int32_t reportCode, const strPreVal &preview, int32_t pageWidth,
                                 int32_t pageHeight, int32_t resolution);

// The pixel position of a grid cell (lines and columns count from 1); not limited to the page.
strDrawPos getDrawPos(const strPreVal &model, int32_t line, int32_t column);

// A scroll range as the page and canvas sizes give it; negative when the page is smaller than
// the canvas (the window then sets 0, so that the page stays at the canvas's edge).
int32_t scrollMaximum(int32_t pageExtent, int32_t canvasExtent);
