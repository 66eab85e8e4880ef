// The report window open while the application font changes, as a desktop's font setting
// changes while the program runs: its buttons and the year popup are fitted again, as in a
// window made under the new font, and at the default font again they stand as they always have.

#include "ReportTestSupport.h"

#include "reports/wndPrev.h"
#include "support/LargerFont.h"

#include <QTest>

namespace {

class ReportWindowFontChangeTest : public ReportTest
{
};

TEST_F(ReportWindowFontChangeTest, TheOpenWindowIsFittedAgainWhenTheApplicationFontChanges)
{
    addEntry(2024, 1, 25, 1, 2, 77, 300000);
    for (const ThemeFont &font : kLargerFonts) {
        SCOPED_TRACE(::testing::PrintToString(font));
        std::vector<std::string> madeUnderTheFont;
        {
            ApplicationFontScope scope(font);
            withYearlyReport([&](wndPrev *w) {
                ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
                madeUnderTheFont = controlFonts(*w);
            });
        }
        withYearlyReport([&](wndPrev *w) {
            ASSERT_TRUE(QTest::qWaitForWindowExposed(w));
            const std::vector<std::string> atTheDefault = controlFonts(*w);
            {
                ApplicationFontScope scope(font);
                deliverFontChange();
                EXPECT_EQ(controlFonts(*w), madeUnderTheFont);
                EXPECT_EQ(misfitControls(*w), std::vector<std::string>());
            }
            deliverFontChange();
            EXPECT_EQ(controlFonts(*w), atTheDefault) << "back at the default font";
        });
    }
}

} // namespace
