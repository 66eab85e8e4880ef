#include "MaintenanceFixture.h"

#include "app/mdlGlobal.h"
#include "maintenance/dlgHimoku.h"
#include "platform/ListBox.h"
#include "platform/PopupMenu.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <functional>

class dlgHimokuTest : public MaintenanceFixture
{
protected:
    struct Panel
    {
        QString caption;
        QString done;
        QString cancel;
        int mode;
        int rowKind;
        bool operator==(const Panel &) const = default;
        friend void PrintTo(const Panel &p, std::ostream *os)
        {
            *os << p.caption.toStdString() << ' ' << p.done.toStdString() << ' ' << p.cancel.toStdString()
                << ' ' << p.mode << ' ' << p.rowKind;
        }
    };
    struct Fields
    {
        QString number;
        int kindRow;
        bool kindEnabled;
        QString category;
        bool categoryEnabled;
        QString subItem;
        bool subItemEnabled;
        bool operator==(const Fields &) const = default;
        friend void PrintTo(const Fields &f, std::ostream *os)
        {
            *os << f.number.toStdString() << ' ' << f.kindRow << f.kindEnabled << ' '
                << f.category.toStdString() << f.categoryEnabled << ' ' << f.subItem.toStdString()
                << f.subItemEnabled;
        }
    };

    static Panel panelOf(const dlgHimoku &d)
    {
        return {
            child<QGroupBox>(d, "grbKoumoku")->title(), child<QPushButton>(d, "pbtKoumokuKanryou")->text(),
            child<QPushButton>(d, "pbtKoumokuTorikesi")->text(), d.HimokuKanriSybetu, d.TheKoumokuSyubetu};
    }
    static Fields fieldsOf(const dlgHimoku &d)
    {
        const QWidget *panel = child<QGroupBox>(d, "grbKoumoku");
        const auto *kind = child<PopupMenu>(d, "ppmHimokuSyubetu");
        const auto *category = child<QLineEdit>(d, "tfdHimokuNamae");
        const auto *subItem = child<QLineEdit>(d, "tfdUtiwakeNamae");
        return {child<QLabel>(d, "lblHimokuKoumokuBangou")->text(),
                kind->listIndex(),
                kind->isEnabledTo(panel),
                category->text(),
                category->isEnabledTo(panel),
                subItem->text(),
                subItem->isEnabledTo(panel)};
    }
    static ListBox *list(const dlgHimoku &d) { return child<ListBox>(d, "lsbHimoku"); }
    static bool enabled(const dlgHimoku &d, const char *name) { return child<QWidget>(d, name)->isEnabled(); }
    static bool panelShown(const dlgHimoku &d) { return !child<QGroupBox>(d, "grbKoumoku")->isHidden(); }
    static void press(const dlgHimoku &d, const char *name) { child<QPushButton>(d, name)->click(); }
    static void clickAndPress(dlgHimoku &d, int row, const char *name)
    {
        d.lsbHimoku_CellClick(row, 0);
        press(d, name);
    }
    QString himokuName(int id)
    {
        auto rows = KakeiboDB->select(QStringLiteral("SELECT Namae FROM Himoku WHERE Id = %1").arg(id));
        return rows && !rows->atEnd() ? rows->textAt(0) : QStringLiteral("none");
    }

    const Panel m_reset{"項目", "完了", "取消", 0, 0};
};

TEST_F(dlgHimokuTest, OpensWithTheWholeTreeAsFolderRowsAndThePanelReset)
{
    dlgHimoku dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("費目の管理"));
    EXPECT_EQ(dialog.size(), QSize(784, 520));
    EXPECT_EQ(dialog.minimumSize(), dialog.maximumSize());
    EXPECT_FALSE(dialog.windowFlags() & Qt::WindowCloseButtonHint);

    const ListBox *tree = list(dialog);
    ASSERT_EQ(tree->rowCount(), 76);
    EXPECT_EQ(tree->cell(0, 0), QStringLiteral("食費"));
    EXPECT_EQ(tree->cell(0, 1), QStringLiteral("1"));
    EXPECT_TRUE(tree->isFolder(0));
    EXPECT_EQ(tree->cell(1, 0), QStringLiteral("食費/食材"));
    EXPECT_EQ((QStringList{tree->cell(1, 2), tree->cell(1, 3), tree->cell(1, 4)}),
              (QStringList{"2", "1", "0"}));
    EXPECT_FALSE(tree->isFolder(1));
    EXPECT_EQ(tree->cell(2, 0), QStringLiteral("食費/アルコール"));
    EXPECT_EQ(tree->cell(3, 0), QStringLiteral("水道光熱費"));
    EXPECT_EQ(tree->cell(63, 0), QStringLiteral("給料"));
    EXPECT_EQ(tree->cell(63, 1), QStringLiteral("2"));
    for (int row = 0; row < tree->rowCount(); ++row) {
        EXPECT_EQ(tree->isFolder(row), tree->cell(row, 4).toInt() > 0) << row;
    }
    for (int column = 2; column <= 4; ++column) {
        EXPECT_TRUE(tree->isColumnHidden(column)) << column;
    }
    EXPECT_EQ(tree->listModel()->data(tree->listModel()->index(2, 0), Qt::BackgroundRole).value<QColor>(),
              QColor(0xF3, 0xF6, 0xFA));
    EXPECT_FALSE(tree->listModel()->data(tree->listModel()->index(1, 0), Qt::BackgroundRole).isValid());
    EXPECT_EQ(gDicSisyutu.count(), 48);
    EXPECT_EQ(gDicSyuunyuu.count(), 8);
    EXPECT_EQ(gDicSisyutu.value(2), QStringLiteral("食費/食材"));
    EXPECT_FALSE(gDicSisyutu.contains(1));

    EXPECT_EQ(panelOf(dialog), m_reset);
    EXPECT_FALSE(panelShown(dialog));
    EXPECT_TRUE(child<QGroupBox>(dialog, "grbUtiwakeTougou")->isHidden());
    EXPECT_EQ(fieldsOf(dialog), (Fields{"", 0, true, "", true, "", true}));
    EXPECT_FALSE(enabled(dialog, "pbtKoumokuHensyuu"));
    EXPECT_FALSE(enabled(dialog, "pbtKoumokuSakujyo"));
    EXPECT_FALSE(enabled(dialog, "pbtUtiwakeTougou"));
    EXPECT_TRUE(enabled(dialog, "pbtHimokuTuika"));
    EXPECT_TRUE(enabled(dialog, "pbtUtiwakeTuika"));
    EXPECT_EQ(dialog.HimokuKoumokuSelectedRow, -1);
    const QLabel *note = child<QLabel>(dialog, "Label4");
    EXPECT_EQ(note->text(), QStringLiteral("（種別番号　　1： 支出　、　2： 収入）"));
    EXPECT_FALSE(note->isEnabled());
    EXPECT_EQ(note->font().pixelSize(), 10);
    EXPECT_EQ(child<PopupMenu>(dialog, "ppmHimokuSyubetu")->rowText(1), QStringLiteral("収入"));
}

TEST_F(dlgHimokuTest, EachModeButtonSetsItsCaptionsModeAndRowKind)
{
    struct Case
    {
        int row;
        const char *button;
        Panel panel;
    };
    const Case cases[] = {
        {1, "pbtHimokuTuika", {"費目項目の追加", "この費目の追加実行", "追加の取消", 1, 1}},
        {0, "pbtKoumokuHensyuu", {"項目編集", "この編集を登録", "編集の取消", 2, 1}},
        {1, "pbtKoumokuHensyuu", {"項目編集", "この編集を登録", "編集の取消", 2, 2}},
        {0, "pbtKoumokuSakujyo", {"項目の削除", "この項目の削除実行", "削除の取消", 3, 1}},
        {2, "pbtUtiwakeTougou", {"内訳の統合", "この内訳の統合実行", "統合の取消", 4, 2}},
        {3, "pbtUtiwakeTuika", {"内訳項目の追加", "この内訳の追加実行", "追加の取消", 5, 2}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.button);
        dlgHimoku dialog;
        clickAndPress(dialog, c.row, c.button);
        EXPECT_EQ(panelOf(dialog), c.panel);
        EXPECT_TRUE(panelShown(dialog));
        press(dialog, "pbtKoumokuTorikesi");
        EXPECT_EQ(panelOf(dialog), m_reset);
        EXPECT_FALSE(panelShown(dialog));
        EXPECT_FALSE(enabled(dialog, "pbtKoumokuHensyuu"));
    }
    EXPECT_TRUE(m_ui->messages.isEmpty()) << m_ui->messages.join(QLatin1Char('\n')).toStdString();
}

TEST_F(dlgHimokuTest, TheLoadFillsThePanelByTheItemsKind)
{
    dlgHimoku dialog;
    clickAndPress(dialog, 0, "pbtKoumokuHensyuu");
    EXPECT_EQ(fieldsOf(dialog), (Fields{"1", 0, false, "食費", true, "", false}));
    clickAndPress(dialog, 1, "pbtKoumokuHensyuu");
    EXPECT_EQ(fieldsOf(dialog), (Fields{"2", 0, false, "食費", false, "食費/食材", true}));
    clickAndPress(dialog, 64, "pbtKoumokuSakujyo");
    EXPECT_EQ(fieldsOf(dialog), (Fields{"77", 1, false, "給料", false, "給料/給料", true}));
    clickAndPress(dialog, 63, "pbtKoumokuSakujyo");
    // A category: the sub-item field keeps its text, locked.
    EXPECT_EQ(fieldsOf(dialog), (Fields{"76", 1, false, "給料", true, "給料/給料", false}));
    clickAndPress(dialog, 5, "pbtUtiwakeTougou");
    EXPECT_EQ(fieldsOf(dialog), (Fields{"6", 0, false, "水道光熱費", false, "水道光熱費/電気", true}));
    EXPECT_FALSE(child<QGroupBox>(dialog, "grbUtiwakeTougou")->isHidden());
    // Switching to another mode keeps the merge group shown.
    clickAndPress(dialog, 3, "pbtKoumokuHensyuu");
    EXPECT_EQ(fieldsOf(dialog), (Fields{"4", 0, false, "水道光熱費", true, "", false}));
    EXPECT_FALSE(child<QGroupBox>(dialog, "grbUtiwakeTougou")->isHidden());
}

// Setting a text leaves the cursor at its end, which scrolls a long name to its last words.
TEST_F(dlgHimokuTest, LongNamesAreShownFromTheirStart)
{
    exec(QStringLiteral(
        "UPDATE Himoku SET Namae = '食費' || substr(hex(zeroblob(60)), 1, 100) WHERE Id IN (1, 2)"));
    dlgHimoku dialog;
    clickAndPress(dialog, 1, "pbtKoumokuHensyuu");
    for (const char *name : {"tfdHimokuNamae", "tfdUtiwakeNamae"}) {
        const auto *field = child<QLineEdit>(dialog, name);
        ASSERT_EQ(field->text().size(), 102) << name;
        EXPECT_EQ(field->cursorPosition(), 0) << name;
    }
}

TEST_F(dlgHimokuTest, AddSubItemIsRefusedUnlessACategoryRowWasClicked)
{
    const QString refusal = QStringLiteral("どの費目につかするのかを選択指定してから内訳を追加してください");
    struct Case
    {
        const char *what;
        std::function<void(dlgHimoku &)> arrange;
        Panel expected;
    };
    const Case cases[] = {
        {"no click", [](dlgHimoku &) {}, m_reset},
        {"a sub-item clicked",
         [](dlgHimoku &d) { d.lsbHimoku_CellClick(1, 0); },
         {"項目", "完了", "取消", 0, 2}},
        {"a second press in mode 5",
         [](dlgHimoku &d) { clickAndPress(d, 0, "pbtUtiwakeTuika"); },
         {"内訳項目の追加", "この内訳の追加実行", "追加の取消", 5, 2}},
        {"add category, then a sub-item clicked",
         [](dlgHimoku &d) {
             d.lsbHimoku_CellClick(1, 0);
             press(d, "pbtHimokuTuika");
             d.lsbHimoku_CellClick(2, 0);
         },
         {"費目項目の追加", "この費目の追加実行", "追加の取消", 1, 2}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        dlgHimoku dialog;
        c.arrange(dialog);
        m_ui->messages.clear();
        press(dialog, "pbtUtiwakeTuika");
        EXPECT_EQ(m_ui->messages, QStringList{refusal});
        EXPECT_EQ(panelOf(dialog), c.expected);
    }
}

TEST_F(dlgHimokuTest, AddingThroughThePanelWritesAndRelistsTheTree)
{
    dlgHimoku dialog;
    press(dialog, "pbtHimokuTuika");
    child<PopupMenu>(dialog, "ppmHimokuSyubetu")->setListIndex(1);
    child<QLineEdit>(dialog, "tfdHimokuNamae")->setText(QStringLiteral("副業"));
    press(dialog, "pbtKoumokuKanryou");
    EXPECT_EQ(panelOf(dialog), m_reset);
    ASSERT_EQ(list(dialog)->rowCount(), 78);
    EXPECT_EQ(list(dialog)->cell(76, 0), QStringLiteral("副業"));
    EXPECT_EQ(list(dialog)->cell(77, 0), QStringLiteral("副業/副業"));
    EXPECT_EQ(gDicSyuunyuu.value(92), QStringLiteral("副業/副業"));

    clickAndPress(dialog, 0, "pbtUtiwakeTuika");
    child<QLineEdit>(dialog, "tfdUtiwakeNamae")->setText(QStringLiteral("外食"));
    press(dialog, "pbtKoumokuKanryou");
    EXPECT_EQ(list(dialog)->cell(3, 0), QStringLiteral("食費/外食"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM Himoku WHERE Id = 93 AND SyubetuNo = 1 AND Hno = 1 "
                                    "AND Ucount = 0")),
              1);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Ucount FROM Himoku WHERE Id = 1")), 2);
    EXPECT_TRUE(m_ui->messages.isEmpty());
}

TEST_F(dlgHimokuTest, ARenameActsOnTheLoadedItemWhateverIsClickedLater)
{
    dlgHimoku dialog;
    clickAndPress(dialog, 1, "pbtKoumokuHensyuu");
    dialog.lsbHimoku_CellClick(4, 0);
    child<QLineEdit>(dialog, "tfdUtiwakeNamae")->setText(QStringLiteral("食費/野菜"));
    press(dialog, "pbtKoumokuKanryou");
    EXPECT_EQ(himokuName(2), QStringLiteral("食費/野菜"));
    EXPECT_EQ(himokuName(5), QStringLiteral("水道光熱費/ガス水道"));

    clickAndPress(dialog, 0, "pbtKoumokuHensyuu");
    child<QLineEdit>(dialog, "tfdHimokuNamae")->setText(QStringLiteral("食料費"));
    press(dialog, "pbtKoumokuKanryou");
    EXPECT_EQ(himokuName(1), QStringLiteral("食料費"));
    EXPECT_EQ(himokuName(3), QStringLiteral("食費/アルコール"));
}

TEST_F(dlgHimokuTest, ARenameIsRefusedWhenTheLoadStoppedHalfWay)
{
    dlgHimoku dialog;
    // The sub-item's category is gone: the load stops with both fields empty and enabled.
    exec(QStringLiteral("DELETE FROM Himoku WHERE Id = 1"));
    clickAndPress(dialog, 1, "pbtKoumokuHensyuu");
    EXPECT_EQ(fieldsOf(dialog), (Fields{"2", 0, false, "", true, "", true}));
    const QString before = dump();
    press(dialog, "pbtKoumokuKanryou");
    EXPECT_EQ(dump(), before);
    EXPECT_EQ(panelOf(dialog).mode, 2);
    EXPECT_TRUE(panelShown(dialog));
}

TEST_F(dlgHimokuTest, ASubItemWhoseCategoryIsGoneCanStillBeMergedAndDeleted)
{
    addExpense(1, 2, 300);
    addExpense(2, 3, 50);
    settleBalances();
    exec(QStringLiteral("DELETE FROM Himoku WHERE Id = 1"));
    dlgHimoku dialog;
    ASSERT_EQ(list(dialog)->cell(1, 0), QStringLiteral("食費/アルコール"));

    clickAndPress(dialog, 1, "pbtUtiwakeTougou");
    EXPECT_EQ(fieldsOf(dialog).number, QStringLiteral("3"));
    child<PopupMenu>(dialog, "ppmUtiwakeTougouSaki")->setListIndex(2);
    m_ui->confirmAnswers.push_back(true);
    press(dialog, "pbtKoumokuKanryou");
    EXPECT_EQ(panelOf(dialog), m_reset);
    EXPECT_EQ(himokuName(3), QStringLiteral("none"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM Items WHERE HimokuNo = 5")), 1);

    ASSERT_EQ(list(dialog)->cell(0, 0), QStringLiteral("食費/食材"));
    clickAndPress(dialog, 0, "pbtKoumokuSakujyo");
    m_ui->confirmAnswers.push_back(true);
    press(dialog, "pbtKoumokuKanryou");
    EXPECT_EQ(m_ui->confirmations.last().text,
              QStringLiteral("この内訳を削除していいですか？（この内訳のデータが全て削除されます）"));
    EXPECT_EQ(panelOf(dialog), m_reset);
    EXPECT_EQ(himokuName(2), QStringLiteral("none"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM Items WHERE HimokuNo = 2")), 0);
    EXPECT_EQ(inconsistentAccounts(), 0);
    EXPECT_TRUE(m_ui->messages.isEmpty());
}

TEST_F(dlgHimokuTest, AnUnreadableTreeIsReportedByTheLoadAndTheReRead)
{
    dlgHimoku dialog;
    exec(QStringLiteral("DROP TABLE Himoku"));
    clickAndPress(dialog, 1, "pbtKoumokuSakujyo");
    EXPECT_EQ(m_ui->messages,
              QStringList{QStringLiteral("from Method HimokuKoumokuSelected: no such table: Himoku")});
    EXPECT_EQ(fieldsOf(dialog).number, QString());
    press(dialog, "pbtKoumokuKanryou");
    EXPECT_TRUE(m_ui->confirmations.isEmpty());
    EXPECT_EQ(panelOf(dialog).mode, 3);

    m_ui->messages.clear();
    press(dialog, "pbtKoumokuTorikesi");
    EXPECT_EQ(m_ui->messages,
              QStringList{QStringLiteral("from Method RepopulateLsbHimoku: no such table: Himoku")});
    EXPECT_EQ(list(dialog)->rowCount(), 0);
    EXPECT_EQ(gDicSisyutu.count(), 0);
    EXPECT_EQ(gDicSyuunyuu.count(), 0);
}

TEST_F(dlgHimokuTest, DeletingAsksFirstAndRecomputesTheAccounts)
{
    exec(QStringLiteral("UPDATE Sisan SET SyokiKingaku = 1000"));
    addExpense(1, 2, 300);
    addExpense(2, 3, 50);
    addExpense(2, 5, 7);
    settleBalances();
    dlgHimoku dialog;

    clickAndPress(dialog, 0, "pbtKoumokuSakujyo");
    const QString before = dump();
    m_ui->confirmAnswers.push_back(false);
    press(dialog, "pbtKoumokuKanryou");
    ASSERT_EQ(m_ui->confirmations.size(), 1);
    EXPECT_EQ(
        m_ui->confirmations[0].text,
        QStringLiteral("この費目とその内訳全てを削除していいですか？（この内訳のデータが全て削除されます）"));
    EXPECT_EQ(m_ui->confirmations[0].actionCaption, QStringLiteral("削除する"));
    EXPECT_EQ(m_ui->confirmations[0].cancelCaption, QStringLiteral("削除しない"));
    EXPECT_EQ(m_ui->confirmations[0].icon, Ui::Icon::Caution);
    EXPECT_EQ(dump(), before);
    EXPECT_EQ(panelOf(dialog), m_reset);

    clickAndPress(dialog, 0, "pbtKoumokuSakujyo");
    m_ui->confirmAnswers.push_back(true);
    press(dialog, "pbtKoumokuKanryou");
    EXPECT_EQ(list(dialog)->rowCount(), 73);
    EXPECT_EQ(list(dialog)->cell(0, 0), QStringLiteral("水道光熱費"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Zankin FROM Sisan WHERE Id = 1")), 1000);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Zankin FROM Sisan WHERE Id = 2")), 993);
    EXPECT_FALSE(gDicSisyutu.contains(2));

    clickAndPress(dialog, 1, "pbtKoumokuSakujyo");
    m_ui->confirmAnswers.push_back(true);
    press(dialog, "pbtKoumokuKanryou");
    EXPECT_EQ(m_ui->confirmations.last().text,
              QStringLiteral("この内訳を削除していいですか？（この内訳のデータが全て削除されます）"));
    EXPECT_EQ(himokuName(5), QStringLiteral("none"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT Zankin FROM Sisan WHERE Id = 2")), 1000);
    EXPECT_EQ(inconsistentAccounts(), 0);
    EXPECT_TRUE(m_ui->messages.isEmpty());
}

TEST_F(dlgHimokuTest, AMergeMovesTheEntriesOfThePreparedSourceAndChangesNoBalance)
{
    addExpense(1, 3, 300);
    addExpense(2, 3, 50);
    addExpense(1, 13, 20);
    settleBalances();
    const QString balances = QStringLiteral("SELECT group_concat(Zankin) FROM Sisan");
    const qint64 cash = scalar(QStringLiteral("SELECT Zankin FROM Sisan WHERE Id = 1"));
    dlgHimoku dialog;
    clickAndPress(dialog, 2, "pbtUtiwakeTougou");
    const auto *targets = child<PopupMenu>(dialog, "ppmUtiwakeTougouSaki");
    ASSERT_EQ(targets->rowCount(), 48);
    EXPECT_EQ(targets->rowText(1), QStringLiteral("食費/アルコール"));
    EXPECT_EQ(targets->listIndex(), -1);

    const QString before = dump();
    struct Refusal
    {
        int target;
        QStringList messages;
    };
    // No target, the source itself, then a declined confirmation: nothing is written and the
    // panel stays in merge mode.
    const Refusal refusals[] = {
        {-1, {QStringLiteral("統合先の内訳を選択してください。")}},
        {1, {QStringLiteral("同じ内訳に統合することはできません。")}},
        {8, {QStringLiteral("この統合処理をしません。")}},
    };
    for (const Refusal &r : refusals) {
        m_ui->messages.clear();
        child<PopupMenu>(dialog, "ppmUtiwakeTougouSaki")->setListIndex(r.target);
        press(dialog, "pbtKoumokuKanryou");
        EXPECT_EQ(m_ui->messages, r.messages);
        EXPECT_EQ(panelOf(dialog), (Panel{"内訳の統合", "この内訳の統合実行", "統合の取消", 4, 2}));
        EXPECT_EQ(dump(), before);
    }
    ASSERT_EQ(m_ui->confirmations.size(), 1);
    EXPECT_EQ(m_ui->confirmations[0].text,
              QStringLiteral("この費目 : 支出 , 食費/アルコール  を 娯楽費/外食 に統合しますか？"));
    EXPECT_EQ(m_ui->confirmations[0].actionCaption, QStringLiteral("統合する"));
    EXPECT_EQ(m_ui->confirmations[0].cancelCaption, QStringLiteral("統合しない"));
    EXPECT_EQ(m_ui->confirmations[0].icon, Ui::Icon::Caution);

    // A later click on another row changes neither the source nor its kind.
    dialog.lsbHimoku_CellClick(64, 0);
    m_ui->confirmAnswers.push_back(true);
    m_ui->messages.clear();
    press(dialog, "pbtKoumokuKanryou");
    EXPECT_TRUE(m_ui->messages.isEmpty());
    EXPECT_EQ(panelOf(dialog), m_reset);
    EXPECT_EQ(himokuName(3), QStringLiteral("none"));
    EXPECT_EQ(himokuName(77), QStringLiteral("給料/給料"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM Items WHERE HimokuNo = 13")), 3);
    EXPECT_EQ(scalar(QStringLiteral("SELECT Zankin FROM Sisan WHERE Id = 1")), cash);
    EXPECT_EQ(inconsistentAccounts(), 0);
    EXPECT_FALSE(gDicSisyutu.contains(3));
    EXPECT_EQ(list(dialog)->rowCount(), 75);
}

TEST_F(dlgHimokuTest, AFailedMergeKeepsThePanelAndTheLedger)
{
    addExpense(1, 3, 300);
    settleBalances();
    failOn(QStringLiteral("DELETE"), QStringLiteral("Himoku"));
    const QString before = dump();
    dlgHimoku dialog;
    clickAndPress(dialog, 2, "pbtUtiwakeTougou");
    child<PopupMenu>(dialog, "ppmUtiwakeTougouSaki")->setListIndex(9);
    m_ui->confirmAnswers.push_back(true);
    press(dialog, "pbtKoumokuKanryou");
    EXPECT_EQ(m_ui->messages, QStringList{QStringLiteral("from Method HimokuTougou deleteboom")});
    EXPECT_EQ(dump(), before);
    EXPECT_EQ(panelOf(dialog).mode, 4);
}

TEST_F(dlgHimokuTest, TheMergeButtonIgnoresTheFirstRowAndRefusesCategoriesWithoutChangingAnything)
{
    dlgHimoku dialog;
    clickAndPress(dialog, 0, "pbtUtiwakeTougou");
    EXPECT_TRUE(m_ui->messages.isEmpty());
    EXPECT_EQ(panelOf(dialog).mode, 0);

    // Delete mode with a sub-item loaded; a refused merge press on a category row keeps the
    // sub-item as what Done deletes.
    addExpense(1, 5, 40);
    settleBalances();
    clickAndPress(dialog, 4, "pbtKoumokuSakujyo");
    clickAndPress(dialog, 3, "pbtUtiwakeTougou");
    EXPECT_EQ(m_ui->messages, QStringList{QStringLiteral("統合処理は、内訳でのみ可能です")});
    EXPECT_EQ(panelOf(dialog), (Panel{"項目の削除", "この項目の削除実行", "削除の取消", 3, 2}));
    m_ui->confirmAnswers.push_back(true);
    press(dialog, "pbtKoumokuKanryou");
    EXPECT_EQ(m_ui->confirmations.last().text,
              QStringLiteral("この内訳を削除していいですか？（この内訳のデータが全て削除されます）"));
    EXPECT_EQ(himokuName(5), QStringLiteral("none"));
    EXPECT_EQ(himokuName(4), QStringLiteral("水道光熱費"));
    EXPECT_EQ(inconsistentAccounts(), 0);
}

TEST_F(dlgHimokuTest, ASubItemOfAnUnknownKindIsReportedAtEachRead)
{
    exec(QStringLiteral("INSERT INTO Himoku VALUES (95, 3, '謎', 1, 0)"));
    dlgHimoku dialog;
    const QString message = QStringLiteral("SybetuNoErr from RepopulateLsbHimoku 3");
    EXPECT_EQ(m_ui->messages, (QStringList{message, message}));
    EXPECT_EQ(list(dialog)->rowCount(), 77);
}

TEST_F(dlgHimokuTest, OnlyAMouseClickOnARowCountsAndAClickBelowTheRowsClearsTheRowKind)
{
    exec(QStringLiteral("DELETE FROM Himoku WHERE Id > 4"));
    dlgHimoku dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    ListBox *tree = list(dialog);
    ASSERT_EQ(tree->rowCount(), 4);
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {},
                      tree->visualRect(tree->model()->index(0, 0)).center());
    EXPECT_EQ(dialog.HimokuKoumokuSelectedRow, 0);
    EXPECT_EQ(dialog.TheKoumokuSyubetu, 1);
    QTest::keyClick(tree, Qt::Key_Down);
    EXPECT_EQ(tree->listIndex(), 1);
    EXPECT_EQ(dialog.HimokuKoumokuSelectedRow, 0);

    press(dialog, "pbtHimokuTuika");
    const QRect last = tree->visualRect(tree->model()->index(3, 0));
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, QPoint(last.center().x(), last.bottom() + 40));
    EXPECT_EQ(dialog.TheKoumokuSyubetu, 0);
    press(dialog, "pbtUtiwakeTuika");
    EXPECT_EQ(m_ui->messages,
              QStringList{QStringLiteral("どの費目につかするのかを選択指定してから内訳を追加してください")});
}

TEST_F(dlgHimokuTest, OnlyTheCloseButtonEndsTheDialogAndClosingWritesNothing)
{
    const QString before = dump();
    dlgHimoku dialog;
    dialog.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&dialog));
    press(dialog, "pbtHimokuTuika");
    auto *name = child<QLineEdit>(dialog, "tfdHimokuNamae");
    name->setText(QStringLiteral("特別費"));
    QTest::keyClick(name, Qt::Key_Return);
    QTest::keyClick(&dialog, Qt::Key_Escape);
    dialog.close();
    EXPECT_TRUE(dialog.isVisible());
    press(dialog, "pbtClose");
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dump(), before);
}
