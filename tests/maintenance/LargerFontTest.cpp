// The maintenance dialogs under a larger application font: every control stays inside its
// frame with its text whole, and an account can still be added; at the default font every
// control stands where it always has.

#include "MaintenanceFixture.h"

#include "maintenance/dlgHimoku.h"
#include "maintenance/dlgSisan.h"
#include "platform/ListBox.h"
#include "support/LargerFont.h"

#include <QLineEdit>
#include <QPushButton>
#include <QTest>

class LargerFontTest : public MaintenanceFixture
{
protected:
    static void press(const QWidget &dialog, const char *name) { child<QPushButton>(dialog, name)->click(); }
    static void show(QWidget &dialog)
    {
        dialog.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    }
};

TEST_F(LargerFontTest, TheAccountDialogKeepsEveryControlWholeInEveryMode)
{
    exec(QStringLiteral("UPDATE Sisan SET Namae = 'とても長い名前の銀行口座' WHERE Id = 1"));
    for (const ThemeFont &font : kLargerFonts) {
        SCOPED_TRACE(::testing::PrintToString(font));
        ApplicationFontScope scope(font);
        dlgSisan dialog;
        show(dialog);
        EXPECT_EQ(misfitControls(dialog), std::vector<std::string>()) << "idle";
        for (const char *mode : {"pbtSisanTuika", "pbtSisanHensyuu", "pbtSisanSakujyo"}) {
            dialog.lsbSisan_CellClick(0, 1);
            press(dialog, mode);
            EXPECT_EQ(misfitControls(dialog), std::vector<std::string>()) << mode;
            press(dialog, "pbtSisanKoumokuTorikesi");
        }
    }
}

TEST_F(LargerFontTest, TheCategoryDialogKeepsEveryControlWholeInEveryMode)
{
    for (const ThemeFont &font : kLargerFonts) {
        SCOPED_TRACE(::testing::PrintToString(font));
        ApplicationFontScope scope(font);
        dlgHimoku dialog;
        show(dialog);
        EXPECT_EQ(misfitControls(dialog), std::vector<std::string>()) << "idle";
        // Row 0 is a category, row 1 its first sub-item.
        const std::pair<int, const char *> modes[] = {{0, "pbtHimokuTuika"},
                                                      {0, "pbtUtiwakeTuika"},
                                                      {1, "pbtKoumokuHensyuu"},
                                                      {1, "pbtKoumokuSakujyo"},
                                                      {1, "pbtUtiwakeTougou"}};
        for (const auto &[row, mode] : modes) {
            dialog.lsbHimoku_CellClick(row, 0);
            press(dialog, mode);
            EXPECT_EQ(misfitControls(dialog), std::vector<std::string>()) << mode;
            press(dialog, "pbtKoumokuTorikesi");
        }
    }
}

// The amount field was placed by the heading's width measured in the larger font: past the
// panel's edge, out of reach, so Done found no amount and no account could be added.
TEST_F(LargerFontTest, AnAccountIsAddedThroughTheFieldsAUserSeesAt14Points)
{
    ApplicationFontScope scope({"DejaVu Sans", 14});
    dlgSisan dialog;
    show(dialog);
    press(dialog, "pbtSisanTuika");
    for (const auto &[name, text] :
         {std::pair{"tfdSisankoumokuNamae", QStringLiteral("財布")},
          std::pair{"tfdSisankoumokuSyokikingaku", QStringLiteral("-2147483648")}}) {
        auto *field = child<QLineEdit>(dialog, name);
        // A click where the user sees the field lands in it, and all of it is in sight.
        const QPoint centre = field->mapTo(&dialog, field->rect().center());
        ASSERT_EQ(dialog.childAt(centre), field) << name;
        EXPECT_EQ(field->visibleRegion(), QRegion(field->rect())) << name;
        QTest::mouseClick(field, Qt::LeftButton);
        ASSERT_TRUE(field->hasFocus()) << name;
        // What an input method hands the field (key clicks carry ASCII only).
        field->insert(text);
        // The whole amount is in view, not only its end.
        EXPECT_GE(field->width(), field->fontMetrics().horizontalAdvance(text)) << name;
    }
    press(dialog, "pbtSisanKoumokuKanryou");
    EXPECT_TRUE(m_ui->messages.isEmpty()) << m_ui->messages.join(QLatin1Char('\n')).toStdString();
    const ListBox *list = child<ListBox>(dialog, "lsbSisan");
    ASSERT_EQ(list->rowCount(), 3);
    EXPECT_EQ(list->cell(2, 1), QStringLiteral("財布"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT SyokiKingaku FROM Sisan WHERE Namae = '財布'")), -2147483648LL);
}

TEST_F(LargerFontTest, AtTheDefaultFontEveryControlKeepsItsPlace)
{
    // In a mode that fills the panel, so that the texts it shows are measured too.
    dlgSisan accounts;
    accounts.lsbSisan_CellClick(0, 1);
    press(accounts, "pbtSisanHensyuu");
    EXPECT_EQ(
        controlGeometries(accounts),
        (std::vector<std::string>{
            "lsbSisan 10,44 574x300 14px", "pbtClose 494,8 90x28 12px", "pbtSisanTuika 10,354 90x28 12px",
            "pbtSisanHensyuu 108,354 90x28 12px", "pbtSisanSakujyo 206,354 90x28 12px",
            "grbSisanKoumoku 10,392 574x166 12px", "pbtSisanKoumokuKanryou 262,122 180x32 12px",
            "pbtSisanKoumokuTorikesi 450,122 114x32 12px", "rctSisanField 10,26 554x78 12px",
            "tfdSisankoumokuSyokikingaku 377,38 169x26 12px", "tfdSisankoumokuNamae 89,38 278x26 12px",
            "lblSisanKoumokuBangou 12,38 69x26 12px", "Label1 8,8 538x20 12px"}));
    dlgHimoku categories;
    categories.lsbHimoku_CellClick(1, 0);
    press(categories, "pbtKoumokuHensyuu");
    EXPECT_EQ(controlGeometries(categories),
              (std::vector<std::string>{"pbtClose 684,10 90x28 12px",
                                        "pbtHimokuTuika 462,48 152x28 12px",
                                        "pbtKoumokuHensyuu 462,84 96x28 12px",
                                        "pbtKoumokuSakujyo 566,84 96x28 12px",
                                        "grbKoumoku 462,122 312x236 12px",
                                        "tfdHimokuNamae 64,100 236x26 12px",
                                        "lblHimokuKoumokuBangou 64,30 100x24 12px",
                                        "pbtKoumokuKanryou 12,190 164x32 12px",
                                        "pbtKoumokuTorikesi 184,190 116x32 12px",
                                        "Label1 12,30 44x24 12px",
                                        "Label2 12,64 44x24 12px",
                                        "ppmHimokuSyubetu 64,62 120x28 12px",
                                        "Label3 12,100 44x24 12px",
                                        "Label5 12,136 44x24 12px",
                                        "tfdUtiwakeNamae 64,136 236x26 12px",
                                        "lsbHimoku 10,10 440x474 12px",
                                        "Label4 10,490 440x20 10px",
                                        "pbtUtiwakeTougou 670,84 104x28 12px",
                                        "grbUtiwakeTougou 462,368 312x70 12px",
                                        "ppmUtiwakeTougouSaki 12,30 288x28 12px",
                                        "pbtUtiwakeTuika 622,48 152x28 12px"}));
}
