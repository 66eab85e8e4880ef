// The maintenance dialogs open while the application font changes, as a desktop's font
// setting changes while the program runs: every control is fitted again, as in a dialog made
// under the new font, and at the default font again it stands as it always has.

#include "MaintenanceFixture.h"

#include "maintenance/dlgHimoku.h"
#include "maintenance/dlgSisan.h"
#include "support/LargerFont.h"

#include <QPushButton>
#include <QTest>

#include <functional>
#include <memory>

namespace {

class MaintenanceFontChangeTest : public MaintenanceFixture
{
protected:
    static void press(const QWidget &dialog, const char *name) { child<QPushButton>(dialog, name)->click(); }

    // The dialog made and shown; each mode pressed is checked, then cancelled.
    struct Kind
    {
        const char *what;
        std::function<std::unique_ptr<QWidget>()> make;
        const char *cancel;
        std::vector<std::pair<int, const char *>> modes; // the row clicked first, the mode
        std::function<void(QWidget &, int)> click;
    };

    static std::unique_ptr<QWidget> shown(const Kind &kind)
    {
        std::unique_ptr<QWidget> dialog = kind.make();
        dialog->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
        return dialog;
    }

    static void expectWholeInEveryMode(const Kind &kind, QWidget &dialog)
    {
        EXPECT_EQ(misfitControls(dialog), std::vector<std::string>()) << "idle";
        for (const auto &[row, mode] : kind.modes) {
            kind.click(dialog, row);
            press(dialog, mode);
            EXPECT_EQ(misfitControls(dialog), std::vector<std::string>()) << mode;
            press(dialog, kind.cancel);
        }
    }
};

TEST_F(MaintenanceFontChangeTest, AnOpenDialogIsFittedAgainWhenTheApplicationFontChanges)
{
    exec(QStringLiteral("UPDATE Sisan SET Namae = 'とても長い名前の銀行口座' WHERE Id = 1"));
    const Kind kinds[] = {
        {"accounts",
         [] { return std::make_unique<dlgSisan>(); },
         "pbtSisanKoumokuTorikesi",
         {{0, "pbtSisanTuika"}, {0, "pbtSisanHensyuu"}, {0, "pbtSisanSakujyo"}},
         [](QWidget &d, int row) { static_cast<dlgSisan &>(d).lsbSisan_CellClick(row, 1); }},
        // Row 0 is a category, row 1 its first sub-item.
        {"categories",
         [] { return std::make_unique<dlgHimoku>(); },
         "pbtKoumokuTorikesi",
         {{0, "pbtHimokuTuika"},
          {0, "pbtUtiwakeTuika"},
          {1, "pbtKoumokuHensyuu"},
          {1, "pbtKoumokuSakujyo"},
          {1, "pbtUtiwakeTougou"}},
         [](QWidget &d, int row) { static_cast<dlgHimoku &>(d).lsbHimoku_CellClick(row, 0); }},
    };
    for (const Kind &kind : kinds) {
        for (const ThemeFont &font : kLargerFonts) {
            SCOPED_TRACE(testing::Message() << kind.what << ", " << ::testing::PrintToString(font));
            std::vector<std::string> madeUnderTheFont;
            {
                ApplicationFontScope scope(font);
                madeUnderTheFont = controlFonts(*shown(kind));
            }
            const std::unique_ptr<QWidget> dialog = shown(kind);
            const std::vector<std::string> atTheDefault = controlFonts(*dialog);
            {
                ApplicationFontScope scope(font);
                deliverFontChange();
                EXPECT_EQ(controlFonts(*dialog), madeUnderTheFont);
                expectWholeInEveryMode(kind, *dialog);
            }
            deliverFontChange();
            EXPECT_EQ(controlFonts(*dialog), atTheDefault) << "back at the default font";
        }
    }
}

} // namespace
