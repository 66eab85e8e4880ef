// The report window under a larger application font: its buttons and the year popup stay
// whole inside their frames; at the default font they stand where they always have.

#include "ReportTestSupport.h"

#include "reports/wndPrev.h"
#include "support/LargerFont.h"

#include <QTest>

namespace {

class ReportWindowFontTest : public ReportTest
{
};

TEST_F(ReportWindowFontTest, TheYearlyReportWindowKeepsEveryControlWhole)
{
    addEntry(2024, 1, 25, 1, 2, 77, 300000);
    for (const ThemeFont &font : kLargerFonts) {
        SCOPED_TRACE(::testing::PrintToString(font));
        ApplicationFontScope scope(font);
        withYearlyReport([&](wndPrev *w) {
            ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
            EXPECT_EQ(misfitControls(*w), std::vector<std::string>());
        });
    }
}

TEST_F(ReportWindowFontTest, AtTheDefaultFontEveryControlKeepsItsPlace)
{
    withYearlyReport([&](wndPrev *w) {
        ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
        EXPECT_EQ(controlGeometries(*w),
                  (std::vector<std::string>{"cnvReport 10,10 850x541 12px", "slbVertivcal 862,10 16x541 12px",
                                            "slbHorizontal 10,553 850x16 12px", "pbtPrint 10,596 110x32 12px",
                                            "grbRepNendo 140,580 170x60 12px", "ppmNendo 10,24 150x26 12px",
                                            "pbtCsvOutput 330,596 190x32 12px"}));
    });
}

} // namespace
