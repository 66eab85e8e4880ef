// The main window open while the application font changes, as a desktop's font setting
// changes while the program runs: every control is fitted again, as a window made under the
// new font is, and at the default font again it stands as it always has.

#include "WindowState.h"
#include "ledger/wndKakeibo.h"
#include "platform/ListBox.h"
#include "platform/RadioButton.h"
#include "support/LargerFont.h"

#include <QGroupBox>
#include <QPushButton>
#include <QTest>

namespace {

class FontChangeTest : public OwnMainWindowFixture
{
protected:
    void SetUp() override
    {
        OwnMainWindowFixture::SetUp();
        createLedger(QStringLiteral("font.sqlf"));
        exec(QStringLiteral("INSERT INTO Items VALUES (50, '2024-02-10', 2024, 2, 10, 1, 1, 2, NULL, -1, "
                            "NULL, 321, 'memo')"));
    }

    static wndKakeibo *open()
    {
        wndKakeibo::enableBookkeeping();
        wndKakeibo *window = wndKakeibo::instance();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window));
        return window;
    }

    // The controls' places, sizes and fonts. The window keeps the size it has on the screen:
    // the menu bar takes its new height from the content, whose controls keep their places.
    static std::vector<std::string> controls(const wndKakeibo &w)
    {
        std::vector<std::string> lines = controlFonts(w);
        std::erase_if(lines, [](const std::string &line) { return line.starts_with("wndKakeiboContent "); });
        return lines;
    }

    // Every mode of the form, each one checked.
    static void expectWholeInEveryMode(wndKakeibo &w)
    {
        EXPECT_EQ(misfitControls(w), std::vector<std::string>()) << "idle";
        w.pbtSinki()->click();
        for (RadioButton *kind : {w.rbtSisyutu(), w.rbtSyunyu(), w.rbtIdou()}) {
            kind->setValue(true);
            EXPECT_EQ(misfitControls(w), std::vector<std::string>()) << kind->text().toStdString();
        }
        w.pbtTorikesi()->click();
        for (QPushButton *mode : {w.pbtHensyuu(), w.pbtSakujyo()}) {
            w.lsbItem()->setListIndex(0);
            mode->click();
            EXPECT_EQ(misfitControls(w), std::vector<std::string>()) << mode->objectName().toStdString();
            w.pbtTorikesi()->click();
        }
    }
};

TEST_F(FontChangeTest, TheOpenMainWindowIsFittedAgainWhenTheApplicationFontChanges)
{
    for (const ThemeFont &font : kLargerFonts) {
        SCOPED_TRACE(::testing::PrintToString(font));
        std::vector<std::string> madeUnderTheFont;
        {
            ApplicationFontScope scope(font);
            madeUnderTheFont = controls(*open());
            closeMainWindow();
        }
        wndKakeibo *w = open();
        const std::vector<std::string> atTheDefault = controls(*w);
        {
            ApplicationFontScope scope(font);
            deliverFontChange();
            EXPECT_EQ(controls(*w), madeUnderTheFont);
            expectWholeInEveryMode(*w);
        }
        deliverFontChange();
        EXPECT_EQ(controls(*w), atTheDefault) << "back at the default font";
        closeMainWindow();
    }
}

} // namespace
