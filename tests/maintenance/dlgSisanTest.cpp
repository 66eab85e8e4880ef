#include "MaintenanceFixture.h"

#include "app/mdlGlobal.h"
#include "maintenance/dlgSisan.h"
#include "platform/ListBox.h"

#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

class dlgSisanTest : public MaintenanceFixture
{
protected:
    struct Panel
    {
        QString caption;
        QString done;
        QString cancel;
        bool operator==(const Panel &) const = default;
    };

    static Panel panelOf(const dlgSisan &d)
    {
        return {child<QGroupBox>(d, "grbSisanKoumoku")->title(),
                child<QPushButton>(d, "pbtSisanKoumokuKanryou")->text(),
                child<QPushButton>(d, "pbtSisanKoumokuTorikesi")->text()};
    }
    static QStringList fieldsOf(const dlgSisan &d)
    {
        return {child<QLabel>(d, "lblSisanKoumokuBangou")->text(),
                child<QLineEdit>(d, "tfdSisankoumokuNamae")->text(),
                child<QLineEdit>(d, "tfdSisankoumokuSyokikingaku")->text()};
    }
    static QStringList rowOf(const dlgSisan &d, int row)
    {
        const ListBox *list = child<ListBox>(d, "lsbSisan");
        return {list->cell(row, 0), list->cell(row, 1), list->cell(row, 2), list->cell(row, 3)};
    }
    static bool enabled(const dlgSisan &d, const char *name) { return child<QWidget>(d, name)->isEnabled(); }
    static void press(const dlgSisan &d, const char *name) { child<QPushButton>(d, name)->click(); }
    static void type(const dlgSisan &d, const char *name, const QString &text)
    {
        child<QLineEdit>(d, name)->setText(text);
    }
};

TEST_F(dlgSisanTest, OpensWithTheAccountsListedAndThePanelReset)
{
    exec(QStringLiteral("UPDATE Sisan SET SyokiKingaku = 500, Zankin = -500 WHERE Id = 2"));
    dlgSisan dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("資産項目の管理"));
    EXPECT_EQ(dialog.size(), QSize(594, 568));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_TRUE(dialog.isModal());

    const ListBox *list = child<ListBox>(dialog, "lsbSisan");
    ASSERT_EQ(list->rowCount(), 2);
    EXPECT_EQ(rowOf(dialog, 0), (QStringList{"1", "現金", "         0", "         0"}));
    EXPECT_EQ(rowOf(dialog, 1), (QStringList{"2", "預金", "       500", "      -500"}));
    EXPECT_TRUE(list->isColumnHidden(3));
    EXPECT_FALSE(list->isColumnHidden(2));
    EXPECT_EQ(list->listModel()->heading(2), QStringLiteral("初期金額　"));
    EXPECT_EQ(list->listModel()->heading(3), QStringLiteral("残金　"));
    EXPECT_EQ(list->listModel()->data(list->listModel()->index(0, 1), Qt::BackgroundRole).value<QColor>(),
              QColor(0xF3, 0xF6, 0xFA));
    EXPECT_FALSE(list->listModel()->data(list->listModel()->index(1, 1), Qt::BackgroundRole).isValid());
    EXPECT_EQ(list->listIndex(), -1);
    EXPECT_EQ(gDicSisan.keys(), (std::vector<int32_t>{1, 2}));

    EXPECT_TRUE(enabled(dialog, "pbtSisanTuika"));
    EXPECT_FALSE(enabled(dialog, "pbtSisanHensyuu"));
    EXPECT_FALSE(enabled(dialog, "pbtSisanSakujyo"));
    EXPECT_TRUE(child<QGroupBox>(dialog, "grbSisanKoumoku")->isHidden());
    EXPECT_FALSE(child<QGroupBox>(dialog, "grbSisanKoumoku")->isEnabled());
    EXPECT_EQ(panelOf(dialog), (Panel{"資産項目", "完了", "取消"}));
    EXPECT_EQ(child<QLabel>(dialog, "Label1")->text(),
              QStringLiteral(" 番号") + QString(14, QLatin1Char(' ')) + QStringLiteral("資産名") +
                  QString(66, QLatin1Char(' ')) + QStringLiteral("初期金額"));
    EXPECT_EQ(dialog.SisanKanriSybetu, 0);
    EXPECT_EQ(dialog.SisanKoumokuSelectedRow, -1);
    for (QPushButton *button : dialog.findChildren<QPushButton *>()) {
        EXPECT_FALSE(button->autoDefault() || button->isDefault()) << button->objectName().toStdString();
    }
}

TEST_F(dlgSisanTest, AmountsArePaddedToTenCharactersAndNeverCut)
{
    const std::pair<qint64, const char *> cases[] = {
        {500, "       500"},        {-500, "      -500"},         {1234567890, "1234567890"},
        {-999999999, "-999999999"}, {-1234567890, "-1234567890"}, {123456789012LL, "123456789012"},
    };
    exec(QStringLiteral("DELETE FROM Sisan"));
    int id = 1;
    for (const auto &[amount, text] : cases) {
        exec(QStringLiteral("INSERT INTO Sisan VALUES (%1, 'a', %2, %2)").arg(id++).arg(amount));
    }
    dlgSisan dialog;
    for (int row = 0; row < int(std::size(cases)); ++row) {
        EXPECT_EQ(rowOf(dialog, row)[2], QString::fromLatin1(cases[row].second));
        EXPECT_EQ(rowOf(dialog, row)[3], QString::fromLatin1(cases[row].second));
    }
}

TEST_F(dlgSisanTest, ModeButtonsSetTheirCaptionsAndStatesAndCancelWritesNothing)
{
    const QString before = dump();
    dlgSisan dialog;
    dialog.lsbSisan_CellClick(1, 1);
    EXPECT_TRUE(enabled(dialog, "pbtSisanHensyuu"));
    EXPECT_TRUE(enabled(dialog, "pbtSisanSakujyo"));
    EXPECT_TRUE(child<QGroupBox>(dialog, "grbSisanKoumoku")->isHidden());

    press(dialog, "pbtSisanHensyuu");
    EXPECT_EQ(dialog.SisanKanriSybetu, 2);
    EXPECT_EQ(panelOf(dialog), (Panel{"資産項目の編集", "この編集を登録", "編集の取消"}));
    EXPECT_EQ(fieldsOf(dialog), (QStringList{"2", "預金", "0"}));
    EXPECT_FALSE(enabled(dialog, "pbtSisanTuika"));
    EXPECT_FALSE(enabled(dialog, "pbtSisanSakujyo"));
    EXPECT_TRUE(enabled(dialog, "pbtSisanHensyuu"));
    EXPECT_FALSE(child<QGroupBox>(dialog, "grbSisanKoumoku")->isHidden());
    EXPECT_TRUE(enabled(dialog, "tfdSisankoumokuNamae"));

    dialog.lsbSisan_CellClick(0, 0);
    press(dialog, "pbtSisanSakujyo");
    EXPECT_EQ(dialog.SisanKanriSybetu, 3);
    EXPECT_EQ(panelOf(dialog), (Panel{"資産項目の削除", "この資産の削除実行", "削除の取消"}));
    EXPECT_EQ(fieldsOf(dialog), (QStringList{"1", "現金", "0"}));
    EXPECT_FALSE(enabled(dialog, "tfdSisankoumokuNamae"));
    EXPECT_FALSE(enabled(dialog, "pbtSisanHensyuu"));

    press(dialog, "pbtSisanKoumokuTorikesi");
    EXPECT_TRUE(child<QGroupBox>(dialog, "grbSisanKoumoku")->isHidden());
    EXPECT_EQ(panelOf(dialog), (Panel{"資産項目", "完了", "取消"}));
    EXPECT_EQ(fieldsOf(dialog), (QStringList{"", "", ""}));
    EXPECT_TRUE(enabled(dialog, "pbtSisanTuika"));
    EXPECT_FALSE(enabled(dialog, "pbtSisanHensyuu"));
    EXPECT_FALSE(enabled(dialog, "pbtSisanSakujyo"));
    // The reset unlocks the fields again (their own setting; the closed panel still dims them).
    EXPECT_FALSE(child<QFrame>(dialog, "rctSisanField")->testAttribute(Qt::WA_ForceDisabled));
    EXPECT_EQ(dialog.SisanKanriSybetu, 3);
    EXPECT_EQ(dump(), before);
    EXPECT_TRUE(m_ui->confirmations.isEmpty());
}

TEST_F(dlgSisanTest, AddingThroughThePanelListsTheNewAccount)
{
    dlgSisan dialog;
    press(dialog, "pbtSisanTuika");
    EXPECT_EQ(panelOf(dialog), (Panel{"資産項目の追加", "この資産の追加実行", "追加の取消"}));
    type(dialog, "tfdSisankoumokuNamae", QStringLiteral("O'Neil's 財布"));
    type(dialog, "tfdSisankoumokuSyokikingaku", QStringLiteral("12a"));
    press(dialog, "pbtSisanKoumokuKanryou");
    // Refused: the panel keeps its texts and captions.
    EXPECT_EQ(m_ui->messages, QStringList{QStringLiteral("初期金額のデータが数値ではありません")});
    EXPECT_FALSE(child<QGroupBox>(dialog, "grbSisanKoumoku")->isHidden());
    EXPECT_EQ(fieldsOf(dialog), (QStringList{"", "O'Neil's 財布", "12a"}));
    EXPECT_EQ(panelOf(dialog), (Panel{"資産項目の追加", "この資産の追加実行", "追加の取消"}));

    type(dialog, "tfdSisankoumokuSyokikingaku", QStringLiteral("1000"));
    press(dialog, "pbtSisanKoumokuKanryou");
    EXPECT_TRUE(child<QGroupBox>(dialog, "grbSisanKoumoku")->isHidden());
    ASSERT_EQ(child<ListBox>(dialog, "lsbSisan")->rowCount(), 3);
    EXPECT_EQ(rowOf(dialog, 2), (QStringList{"3", "O'Neil's 財布", "      1000", "      1000"}));
    EXPECT_EQ(gDicSisan.value(3), QStringLiteral("O'Neil's 財布"));
    EXPECT_EQ(dialog.SisanKoumokuSelectedRow, -1);
}

// Setting a text leaves the cursor at its end, which scrolls a long name to its last words.
TEST_F(dlgSisanTest, ALongNameIsShownFromItsStart)
{
    exec(QStringLiteral("UPDATE Sisan SET Namae = '現金' || substr(hex(zeroblob(60)), 1, 100) WHERE Id = 1"));
    dlgSisan dialog;
    dialog.lsbSisan_CellClick(0, 1);
    press(dialog, "pbtSisanHensyuu");
    const auto *field = child<QLineEdit>(dialog, "tfdSisankoumokuNamae");
    ASSERT_EQ(field->text().size(), 102);
    EXPECT_EQ(field->cursorPosition(), 0);
}

TEST_F(dlgSisanTest, EditingShiftsTheBalanceAndDeletingAsksFirst)
{
    addExpense(2, 2, 300);
    settleBalances();
    dlgSisan dialog;
    dialog.lsbSisan_CellClick(1, 0);
    press(dialog, "pbtSisanHensyuu");
    type(dialog, "tfdSisankoumokuSyokikingaku", QStringLiteral("1500"));
    press(dialog, "pbtSisanKoumokuKanryou");
    EXPECT_EQ(rowOf(dialog, 1), (QStringList{"2", "預金", "      1500", "      1200"}));

    // Declined: nothing written, the panel closes.
    dialog.lsbSisan_CellClick(1, 0);
    press(dialog, "pbtSisanSakujyo");
    m_ui->confirmAnswers.push_back(false);
    const QString before = dump();
    press(dialog, "pbtSisanKoumokuKanryou");
    ASSERT_EQ(m_ui->confirmations.size(), 1);
    EXPECT_EQ(m_ui->confirmations[0].text, QStringLiteral("この資産を、本当に削除していいですか？"));
    EXPECT_EQ(m_ui->confirmations[0].actionCaption, QStringLiteral("削除する"));
    EXPECT_EQ(m_ui->confirmations[0].cancelCaption, QStringLiteral("削除しない"));
    EXPECT_EQ(m_ui->confirmations[0].icon, Ui::Icon::Caution);
    EXPECT_EQ(dump(), before);
    EXPECT_TRUE(child<QGroupBox>(dialog, "grbSisanKoumoku")->isHidden());

    dialog.lsbSisan_CellClick(1, 0);
    press(dialog, "pbtSisanSakujyo");
    m_ui->confirmAnswers.push_back(true);
    press(dialog, "pbtSisanKoumokuKanryou");
    EXPECT_EQ(child<ListBox>(dialog, "lsbSisan")->rowCount(), 1);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM Items")), 0);
    EXPECT_EQ(gDicSisan.keys(), (std::vector<int32_t>{1}));
    EXPECT_TRUE(m_ui->messages.isEmpty());
}

TEST_F(dlgSisanTest, AFailedDeleteKeepsThePanelOpenAndTheLedgerWhole)
{
    addExpense(1, 2, 300);
    settleBalances();
    failOn(QStringLiteral("DELETE"), QStringLiteral("Sisan"));
    const QString before = dump();
    dlgSisan dialog;
    dialog.lsbSisan_CellClick(0, 0);
    press(dialog, "pbtSisanSakujyo");
    m_ui->confirmAnswers.push_back(true);
    press(dialog, "pbtSisanKoumokuKanryou");
    EXPECT_EQ(m_ui->messages,
              QStringList{QStringLiteral("from SusanSakujyo データを削除できませんでいた。")});
    EXPECT_EQ(dump(), before);
    EXPECT_FALSE(child<QGroupBox>(dialog, "grbSisanKoumoku")->isHidden());
    EXPECT_EQ(panelOf(dialog), (Panel{"資産項目の削除", "この資産の削除実行", "削除の取消"}));
}

TEST_F(dlgSisanTest, AnEmptyTableListsNothingAndStillAdds)
{
    exec(QStringLiteral("DELETE FROM Sisan"));
    dlgSisan dialog;
    EXPECT_EQ(child<ListBox>(dialog, "lsbSisan")->rowCount(), 0);
    EXPECT_TRUE(gDicSisan.isEmpty());
    // A click that hits no row enables nothing.
    dialog.lsbSisan_CellClick(0, 0);
    EXPECT_FALSE(enabled(dialog, "pbtSisanHensyuu"));
    press(dialog, "pbtSisanTuika");
    type(dialog, "tfdSisankoumokuSyokikingaku", QStringLiteral("0"));
    press(dialog, "pbtSisanKoumokuKanryou");
    EXPECT_EQ(child<ListBox>(dialog, "lsbSisan")->rowCount(), 1);
    EXPECT_EQ(rowOf(dialog, 0)[1], QString());
}

TEST_F(dlgSisanTest, AnUnreadableTableShowsItsMessageAtEachRead)
{
    exec(QStringLiteral("DROP TABLE Sisan"));
    dlgSisan dialog;
    EXPECT_EQ(child<ListBox>(dialog, "lsbSisan")->rowCount(), 0);
    const QString message = QStringLiteral("from Method RepopulateLsbSisan: no such table: Sisan");
    EXPECT_EQ(m_ui->messages, (QStringList{message, message}));
}

TEST_F(dlgSisanTest, OnlyTheCloseButtonEndsTheDialogAndClosingWritesNothing)
{
    const QString before = dump();
    dlgSisan dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    press(dialog, "pbtSisanTuika");
    type(dialog, "tfdSisankoumokuSyokikingaku", QStringLiteral("1000"));
    child<QLineEdit>(dialog, "tfdSisankoumokuSyokikingaku")->setFocus();
    // Enter presses no button; Escape and a close request do nothing.
    QTest::keyClick(child<QLineEdit>(dialog, "tfdSisankoumokuSyokikingaku"), Qt::Key_Return);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    dialog.close();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dump(), before);

    press(dialog, "pbtClose");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dump(), before);
}

TEST_F(dlgSisanTest, OnlyAMouseClickChoosesTheRowThatEditLoads)
{
    dlgSisan dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    ListBox *list = child<ListBox>(dialog, "lsbSisan");
    const QRect cell = list->visualRect(list->model()->index(0, 1));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(dialog.SisanKoumokuSelectedRow, 0);
    QTest::keyClick(list, Qt::Key_Down);
    EXPECT_EQ(list->listIndex(), 1);
    press(dialog, "pbtSisanHensyuu");
    EXPECT_EQ(fieldsOf(dialog)[0], QStringLiteral("1"));
}
