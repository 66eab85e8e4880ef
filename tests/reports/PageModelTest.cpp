#include "reports/PageModel.h"
#include "reports/PainterSurface.h"
#include "reports/RecordingSurface.h"
#include "reports/ReportGrid.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

TEST(PageModel, ConversionTruncatesTowardZeroAndClamps)
{
    struct Case
    {
        double value;
        int32_t expected;
    };
    const Case cases[] = {
        {1.9, 1},
        {-1.9, -1},
        {47.6, 47},
        {19.93, 19},
        {std::nan(""), 0},
        {1e12, std::numeric_limits<int32_t>::max()},
        {-1e12, std::numeric_limits<int32_t>::min()},
        {std::numeric_limits<double>::infinity(), std::numeric_limits<int32_t>::max()},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(convertToInt32(c.value), c.expected) << c.value;
    }
}

TEST(PageModel, PreviewPagesOfBothReports)
{
    const std::optional<strPreVal> asset = previewPageModel(kAssetReport);
    ASSERT_TRUE(asset);
    EXPECT_EQ(asset->PageWidth, 595);
    EXPECT_EQ(asset->PageHeight, 847);
    EXPECT_EQ(asset->LinesPerPage, 60);
    EXPECT_EQ(asset->ColsPerPage, 50);
    EXPECT_EQ(asset->TopOffset, 5);
    EXPECT_EQ(asset->LeftOffset, 5);
    EXPECT_EQ(asset->BaseTextSize, 50);
    EXPECT_EQ(asset->Scale, 1.0);
    EXPECT_EQ(asset->Resolution, 72);
    EXPECT_EQ(asset->ScaledWidth, 595);
    EXPECT_EQ(asset->ScaledHeight, 847);
    EXPECT_DOUBLE_EQ(asset->LineHeight, 847.0 / 60);
    EXPECT_DOUBLE_EQ(asset->ColWidth, 11.9);
    EXPECT_EQ(asset->LeftIndent, 47);

    const std::optional<strPreVal> yearly = previewPageModel(kYearlyReport);
    ASSERT_TRUE(yearly);
    EXPECT_EQ(yearly->PageWidth, 847);
    EXPECT_EQ(yearly->PageHeight, 1200);
    EXPECT_EQ(yearly->LinesPerPage, 100);
    EXPECT_EQ(yearly->ColsPerPage, 170);
    EXPECT_EQ(yearly->TopOffset, 2);
    EXPECT_DOUBLE_EQ(yearly->LineHeight, 12.0);
    EXPECT_DOUBLE_EQ(yearly->ColWidth, 847.0 / 170);
    EXPECT_EQ(yearly->LeftIndent, 19);

    EXPECT_FALSE(previewPageModel(0));
    EXPECT_FALSE(previewPageModel(3));
}

TEST(PageModel, PrinterPageKeepsTheGridOfThePreview)
{
    const strPreVal printer = printerPageModel(*previewPageModel(kYearlyReport), 822, 575, 72);
    EXPECT_EQ(printer.LinesPerPage, 50);
    EXPECT_EQ(printer.ColsPerPage, 170);
    EXPECT_EQ(printer.PageWidth, 822);
    EXPECT_EQ(printer.PageHeight, 575);
    EXPECT_EQ(printer.Resolution, 72);
    EXPECT_DOUBLE_EQ(printer.LineHeight, 11.5);
    EXPECT_DOUBLE_EQ(printer.ColWidth, 822.0 / 170);
    EXPECT_EQ(printer.LeftIndent, 19);
    EXPECT_EQ(printer.TopOffset, 2);
    EXPECT_EQ(printer.LeftOffset, 2);
    EXPECT_EQ(printer.BaseTextSize, 50);
}

TEST(PageModel, PrinterPagesShortOfTheGridDrawEveryTextSmallerDownToTheLeastSize)
{
    // Sizes of the names (10) and figures (8) of the yearly report, and of the title (16),
    // headings (12) and figures (10) of the asset report, as a print draws them.
    struct Case
    {
        int32_t report;
        int32_t width;
        int32_t height;
        PageRoom room;
        QList<float> sizes;
    };
    const Case cases[] = {
        // A4 at 10 mm: the grid as the preview lays it out.
        {kYearlyReport, 786, 539, PageRoom::Enough, {10, 8}},
        {kAssetReport, 539, 786, PageRoom::Enough, {16, 12, 10}},
        // A4 landscape at 20 mm: lines of 9.6 points hold figures of 8, not names of 10.
        {kYearlyReport, 728, 481, PageRoom::Enough, {9, 7}},
        // A5 at 10 mm: the months' columns hold figures of 5 points.
        {kYearlyReport, 539, 364, PageRoom::Enough, {6, 5}},
        // A5 at 30 mm: the date whole before the right margin.
        {kAssetReport, 250, 425, PageRoom::Enough, {9, 6, 5}},
        // Lines of 6 points would take names of 5 points: below the least size.
        {kYearlyReport, 481, 306, PageRoom::TooLow, {}},
        {kAssetReport, 539, 300, PageRoom::TooLow, {}},
        // Columns of 1.8 points, and of 1.1.
        {kYearlyReport, 304, 539, PageRoom::TooNarrow, {}},
        {kAssetReport, 57, 786, PageRoom::TooNarrow, {}},
    };
    for (const Case &c : cases) {
        const std::string what =
            std::to_string(c.report) + " " + std::to_string(c.width) + "x" + std::to_string(c.height);
        const strPreVal preview = *previewPageModel(c.report);
        EXPECT_EQ(printerPageRoom(c.report, preview, c.width, c.height), c.room) << what;
        if (c.room != PageRoom::Enough) {
            continue;
        }
        const strPreVal printer = fittedPrinterPageModel(c.report, preview, c.width, c.height, 72);
        // The grid fills the page whatever the size of its texts.
        EXPECT_EQ(printer.ScaledWidth, c.width) << what;
        EXPECT_DOUBLE_EQ(printer.LineHeight, c.height / 50.0) << what;
        QList<float> sizes;
        for (const int32_t size :
             c.report == kYearlyReport ? QList<int32_t>{10, 8} : QList<int32_t>{16, 12, 10}) {
            sizes.append(scaledTextSize(printer, size));
        }
        EXPECT_EQ(sizes, c.sizes) << what;
    }
}

TEST(PageModel, GridPositions)
{
    struct Case
    {
        int32_t report;
        int32_t line;
        int32_t column;
        int32_t x;
        int32_t y;
    };
    const Case cases[] = {
        {kAssetReport, 3, 14, 206, 33},   {kAssetReport, 6, 2, 63, 75},      {kAssetReport, 6, 30, 397, 75},
        {kAssetReport, 9, 16, 230, 117},  {kYearlyReport, 1, 1, 21, 2},      {kYearlyReport, 5, 31, 170, 50},
        {kYearlyReport, 4, 151, 768, 38}, {kYearlyReport, 4, 160, 813, 38},  {kYearlyReport, 4, 30, 165, 38},
        {kYearlyReport, 4, 152, 773, 38}, {kYearlyReport, 150, 1, 21, 1790}, // beyond the page
    };
    for (const Case &c : cases) {
        const strDrawPos pos = getDrawPos(*previewPageModel(c.report), c.line, c.column);
        EXPECT_EQ(pos.X, c.x) << c.report << " " << c.line << "," << c.column;
        EXPECT_EQ(pos.Y, c.y) << c.report << " " << c.line << "," << c.column;
    }
}

TEST(PageModel, ScrollRangesAtTheCreatedCanvasSize)
{
    EXPECT_EQ(scrollMaximum(847, 541), 306);
    EXPECT_EQ(scrollMaximum(595, 850), -255);
    EXPECT_EQ(scrollMaximum(1200, 541), 659);
    EXPECT_EQ(scrollMaximum(847, 850), -3);
}

namespace {
// A grid whose cells are 10 pixels square from the page's corner: column 2 starts at x 10.
strPreVal tenPixelGrid()
{
    strPreVal model;
    model.LineHeight = 10;
    model.ColWidth = 10;
    model.Scale = 1.0;
    return model;
}

QList<QLine> recordedLines(const RecordingSurface &g)
{
    QList<QLine> result;
    for (const auto &op : g.lines()) {
        result.append(QLine(op.x1, op.y1, op.x2, op.y2));
    }
    return result;
}
} // namespace

TEST(ReportGrid, DottedAndSolidRules)
{
    const strPreVal grid = tenPixelGrid();
    struct Case
    {
        const char *what;
        bool vertical;
        RuleStyle style;
        int line1, column1, line2, column2;
        QList<QLine> expected;
    };
    const Case cases[] = {
        {"dotted 10 to 20",
         false,
         RuleStyle::Dotted,
         1,
         2,
         1,
         3,
         {QLine(10, 0, 11, 0), QLine(14, 0, 15, 0), QLine(18, 0, 19, 0)}},
        {"dotted backwards", false, RuleStyle::Dotted, 1, 3, 1, 2, {}},
        {"dotted of no length", false, RuleStyle::Dotted, 1, 2, 1, 2, {}},
        {"solid backwards", false, RuleStyle::Solid, 1, 3, 1, 2, {QLine(20, 0, 10, 0)}},
        {"vertical dotted on one line", true, RuleStyle::Dotted, 3, 2, 3, 5, {}},
        {"vertical dotted 10 to 20",
         true,
         RuleStyle::Dotted,
         2,
         1,
         3,
         1,
         {QLine(0, 10, 0, 11), QLine(0, 14, 0, 15), QLine(0, 18, 0, 19)}},
    };
    for (const Case &c : cases) {
        RecordingSurface g;
        if (c.vertical) {
            DrawPlineVertical(g, grid, c.line1, c.column1, c.line2, c.column2, c.style);
        } else {
            DrawPline(g, grid, c.line1, c.column1, c.line2, c.column2, c.style);
        }
        EXPECT_EQ(recordedLines(g), c.expected) << c.what;
    }
}

TEST(ReportGrid, RulesLieHalfATopMarginUnderTheBaseline)
{
    RecordingSurface g;
    const strPreVal yearly = *previewPageModel(kYearlyReport);
    DrawPStr(g, yearly, QStringLiteral("x"), 10, 1, 1);
    DrawPline(g, yearly, 1, 1, 1, 2, RuleStyle::Solid);
    ASSERT_EQ(g.texts().size(), 1);
    EXPECT_EQ(g.texts()[0].y1, 2);
    EXPECT_EQ(g.texts()[0].x1, 2 + yearly.LeftIndent);
    EXPECT_EQ(g.texts()[0].size, 10.0f);
    ASSERT_EQ(g.lines().size(), 1);
    EXPECT_EQ(g.lines()[0].y1, 3);
}

TEST(ReportGrid, DashesAreTwoPixelsLongOnThePicture)
{
    QImage picture(40, 20, QImage::Format_RGB32);
    picture.fill(Qt::white);
    {
        PainterSurface g(&picture, picture.height());
        DrawPline(g, tenPixelGrid(), 2, 2, 2, 3, RuleStyle::Dotted);
    }
    QString row;
    for (int x = 8; x <= 21; ++x) {
        row += picture.pixelColor(x, 10) == Qt::black ? QLatin1Char('#') : QLatin1Char('.');
    }
    EXPECT_EQ(row, QStringLiteral("..##..##..##.."));
}
