#include "app/mdlGlobal.h"
#include "ledger/DateListBox.h"
#include "ledger/wndKakeibo.h"
#include "platform/ListBox.h"
#include "platform/NumberFormat.h"
#include "platform/PopupMenu.h"
#include "platform/RadioButton.h"

#include "LedgerText.h"
#include "MainWindowFixture.h"
#include "WindowState.h"
#include "support/LargerFont.h"
#include "support/ListRows.h"

#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <functional>

namespace {

constexpr int32_t kGenkin = 1;
constexpr int32_t kYokin = 2;

// The form driven as a user would: buttons clicked, popup rows and list rows chosen, fields
// typed, on a real window over a real ledger file.
class EntryFormTest : public MainWindowFixture
{
protected:
    void SetUp() override
    {
        MainWindowFixture::SetUp();
        createLedger(QStringLiteral("form.sqlf"));
    }

    wndKakeibo *open()
    {
        m_w = wndKakeibo::instance();
        m_w->grbKakeibo2()->setEnabled(true);
        m_w->DateListBox1()->TheDate().setYMD(2024, 3, 5);
        m_w->DateListBox1()->DisplayDate();
        return m_w;
    }

    // A control's own enabled setting, whatever its containers say.
    static bool own(const QWidget *widget) { return !widget->testAttribute(Qt::WA_ForceDisabled); }

    void choose(const QString &text)
    {
        const int row = m_w->ppmHimoku()->findText(text);
        ASSERT_GE(row, 0) << text.toStdString();
        m_w->ppmHimoku()->setListIndex(row);
    }

    void type(const QString &amount, const QString &memo)
    {
        m_w->tfdKingaku()->setText(amount);
        m_w->tfdBikou()->setText(memo);
    }

    void showEntry(int32_t id)
    {
        const int row = rowHolding(*m_w->lsbItem(), 0, id);
        ASSERT_GE(row, 0) << "entry " << id << " is not listed";
        m_w->lsbItem()->setListIndex(row);
    }

    void showAccount(int row) { m_w->lsbSisan()->setListIndex(row); }

    // New, a kind, a popup row, the fields, Input.
    void enter(RadioButton *radio, const QString &choice, const QString &amount, const QString &memo)
    {
        m_w->pbtSinki()->click();
        radio->click();
        choose(choice);
        type(amount, memo);
        m_w->pbtNyuryoku()->click();
    }

    QString row(int32_t id)
    {
        auto rows = KakeiboDB->select(
            QStringLiteral(
                "SELECT Hizuke, Nen, Tuki, Hi, SisanNo, SyubetuNo, quote(HimokuNo), quote(IdouSisanNo), "
                "IdouId, quote(Nyuukin), quote(Syukkin), Bikou FROM Items WHERE Id = ") +
            QString::number(id));
        if (!rows || rows->atEnd()) {
            return QStringLiteral("none");
        }
        QStringList cells;
        for (int i = 0; i < rows->columnCount(); ++i) {
            cells << rows->textAt(i);
        }
        return cells.join(QLatin1Char('|'));
    }

    QString ledgerDump()
    {
        return queryText(QStringLiteral("SELECT * FROM Items ORDER BY Id")) + QStringLiteral("\n--\n") +
               queryText(QStringLiteral("SELECT * FROM LastItems ORDER BY Id")) + QStringLiteral("\n--\n") +
               queryText(QStringLiteral("SELECT * FROM Sisan ORDER BY Id"));
    }

    int64_t zankin(int32_t account)
    {
        return scalar(QStringLiteral("SELECT Zankin FROM Sisan WHERE Id = ") + QString::number(account));
    }

    int64_t lastId() { return scalar(QStringLiteral("SELECT max(Id) FROM Items")); }

    // Every stored balance is the opening amount plus receipts minus payments.
    void expectBalancesAgree()
    {
        EXPECT_EQ(
            scalar(QStringLiteral(
                "SELECT count(*) FROM Sisan s WHERE Zankin <> SyokiKingaku + (SELECT COALESCE(SUM(Nyuukin), "
                "0) - COALESCE(SUM(Syukkin), 0) FROM Items WHERE SisanNo = s.Id)")),
            0);
        EXPECT_FALSE(KakeiboDB->inTransaction());
    }

    void expectReset(int32_t mode)
    {
        EXPECT_EQ(m_w->KinyuuStatus, mode);
        EXPECT_EQ(m_w->pbtNyuryoku()->text(), QStringLiteral("入力"));
        EXPECT_EQ(m_w->tfdKingaku()->text(), QString());
        EXPECT_EQ(m_w->tfdBikou()->text(), QString());
        EXPECT_EQ(m_w->ppmHimoku()->listIndex(), -1);
        EXPECT_TRUE(own(m_w->pbtSinki()));
        EXPECT_FALSE(own(m_w->pbtHensyuu()));
        EXPECT_FALSE(own(m_w->pbtSakujyo()));
        for (const QWidget *c :
             {static_cast<QWidget *>(m_w->ppmHimoku()), static_cast<QWidget *>(m_w->tfdKingaku()),
              static_cast<QWidget *>(m_w->tfdBikou()), static_cast<QWidget *>(m_w->DateListBox1()),
              static_cast<QWidget *>(m_w->lsbSisan()), static_cast<QWidget *>(m_w->lsbItem())}) {
            EXPECT_TRUE(own(c)) << c->objectName().toStdString();
        }
    }

    QString messages() const { return m_ui->messages.join(QLatin1Char('\n')); }

    wndKakeibo *m_w = nullptr;
};

TEST_F(EntryFormTest, TheTypicalNewExpenseStepByStep)
{
    exec(QStringLiteral("INSERT INTO LastItems VALUES (2, '2024-01-01', 1500, '前回')"));
    open();
    // After the first refresh the popup is still empty and the form locked.
    EXPECT_EQ(m_w->ppmHimoku()->rowCount(), 0);
    EXPECT_FALSE(own(m_w->grbKinyu()));

    // Step 1: New fills the popup although the expense radio was on from the start.
    m_w->pbtSinki()->click();
    EXPECT_EQ(m_w->KinyuuStatus, 1);
    EXPECT_FALSE(own(m_w->pbtSinki()));
    EXPECT_FALSE(own(m_w->pbtHensyuu()));
    EXPECT_FALSE(own(m_w->pbtSakujyo()));
    EXPECT_TRUE(own(m_w->grbKinyu()));
    EXPECT_TRUE(m_w->rbtSisyutu()->value());
    EXPECT_EQ(m_w->ppmHimoku()->rowCount(), gDicSisyutu.count());
    EXPECT_EQ(m_w->ppmHimoku()->rowText(0), QStringLiteral(">>食費"));
    EXPECT_EQ(m_w->ppmHimoku()->rowText(1), QStringLiteral("食費/食材"));
    EXPECT_EQ(m_w->ppmHimoku()->listIndex(), -1);
    EXPECT_EQ(gDicIdIndex.value(2), 1);
    EXPECT_EQ(gSyubetuNo, 1);
    EXPECT_EQ(m_w->lblHimokuSyubetu()->text(), QStringLiteral("支出費目"));

    // Step 3: a category header is refused; a sub-item brings its last-used values.
    type(QStringLiteral("9"), QStringLiteral("typed"));
    choose(QStringLiteral(">>食費"));
    EXPECT_EQ(m_w->ppmHimoku()->listIndex(), -1);
    EXPECT_EQ(m_w->tfdKingaku()->text(), QStringLiteral("9"));
    m_w->pbtNyuryoku()->click();
    EXPECT_EQ(lastId(), 0) << "nothing is booked to a category";
    choose(QStringLiteral("食費/食材"));
    EXPECT_EQ(m_w->tfdKingaku()->text(), QStringLiteral("1500"));
    EXPECT_EQ(m_w->tfdBikou()->text(), QStringLiteral("前回"));

    // Steps 4 to 6: the entry, its balance, the lists and the last-used values.
    type(QStringLiteral("500"), QStringLiteral("パン"));
    m_w->pbtNyuryoku()->click();
    const auto id = static_cast<int32_t>(lastId());
    EXPECT_EQ(row(id), QStringLiteral("2024-03-05|2024|3|5|1|1|2|NULL|-1|NULL|500|パン"));
    EXPECT_EQ(queryText(QStringLiteral("SELECT * FROM LastItems")), QStringLiteral("2|2024-03-05|500|パン"));
    EXPECT_EQ(zankin(kGenkin), -500);
    ASSERT_EQ(m_w->lsbItem()->rowCount(), 1);
    EXPECT_EQ(m_w->lsbItem()->cell(0, 0), QString::number(id));
    EXPECT_EQ(m_w->lsbItem()->cell(0, 2), QStringLiteral("食費/食材"));
    EXPECT_EQ(m_w->lsbSisan()->cell(0, 2), QStringLiteral("-500"));
    EXPECT_EQ(m_w->lblStotal()->text(), QStringLiteral("-500(円)"));

    // Step 7: cleared, still new mode with the same kind and date.
    expectReset(1);
    EXPECT_EQ(gSyubetuNo, 1);
    EXPECT_TRUE(own(m_w->rbtSisyutu()));
    EXPECT_EQ(m_w->lblHimokuSyubetu()->text(), QStringLiteral("支出費目"));
    EXPECT_EQ(m_w->DateListBox1()->TheDate(), RollingDate(2024, 3, 5));

    // The next income follows at once; the sub-item's second use replaces its last values.
    m_w->rbtSyunyu()->click();
    EXPECT_EQ(gSyubetuNo, 2);
    EXPECT_EQ(m_w->lblHimokuSyubetu()->text(), QStringLiteral("収入費目"));
    choose(QStringLiteral("給料/給料"));
    type(QStringLiteral("+02000"), QStringLiteral("給料"));
    m_w->pbtNyuryoku()->click();
    EXPECT_EQ(row(static_cast<int32_t>(lastId())),
              QStringLiteral("2024-03-05|2024|3|5|1|2|77|NULL|-1|2000|NULL|給料"));
    enter(m_w->rbtSisyutu(), QStringLiteral("食費/食材"), QStringLiteral("80"), QStringLiteral("x"));
    EXPECT_EQ(queryText(QStringLiteral("SELECT * FROM LastItems")),
              QStringLiteral("2|2024-03-05|80|x\n77|2024-03-05|2000|給料"));
    EXPECT_EQ(zankin(kGenkin), 1420);
    EXPECT_EQ(m_w->lblItotal()->text(), QStringLiteral("1,420(円)"));
    expectBalancesAgree();
    EXPECT_TRUE(m_ui->messages.isEmpty()) << messages().toStdString();
}

TEST_F(EntryFormTest, ATransferIsBookedAsALinkedPairAndMovesBothBalances)
{
    open();
    m_w->pbtSinki()->click();
    m_w->rbtIdou()->click();
    EXPECT_EQ(m_w->lblHimokuSyubetu()->text(), QStringLiteral("移動先"));
    EXPECT_EQ(gSyubetuNo, 3);
    ASSERT_EQ(m_w->ppmHimoku()->rowCount(), 2);
    EXPECT_EQ(m_w->ppmHimoku()->rowText(1), QStringLiteral("預金"));
    choose(QStringLiteral("預金"));
    EXPECT_EQ(m_w->tfdKingaku()->text(), QString()) << "a transfer reads no last-used values";
    type(QStringLiteral("1000"), QStringLiteral("振替"));
    m_w->pbtNyuryoku()->click();

    const auto in = static_cast<int32_t>(lastId());
    const int32_t out = in - 1;
    EXPECT_EQ(row(out), QStringLiteral("2024-03-05|2024|3|5|1|3|NULL|2|%1|NULL|1000|振替").arg(in));
    EXPECT_EQ(row(in), QStringLiteral("2024-03-05|2024|3|5|2|4|NULL|1|%1|1000|NULL|振替").arg(out));
    EXPECT_EQ(zankin(kGenkin), -1000);
    EXPECT_EQ(zankin(kYokin), 1000);
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM LastItems")), 0);
    EXPECT_EQ(m_w->lsbItem()->cell(0, 2), QStringLiteral("預金 へ"));
    EXPECT_EQ(m_w->lblStotal()->text(), QStringLiteral("0(円)"));
    expectReset(1);

    // A transfer into the selected account itself changes no balance.
    choose(QStringLiteral("現金"));
    type(QStringLiteral("300"), QString());
    m_w->pbtNyuryoku()->click();
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM Items WHERE SisanNo = 1")), 3);
    EXPECT_EQ(zankin(kGenkin), -1000);
    expectBalancesAgree();
    EXPECT_TRUE(m_ui->messages.isEmpty()) << messages().toStdString();
}

TEST_F(EntryFormTest, ShowingAnEntryFillsTheLockedFormWithItsOwnValues)
{
    exec(QStringLiteral("INSERT INTO LastItems VALUES (2, '2024-01-01', 1500, 'last')"));
    open();
    enter(m_w->rbtSisyutu(), QStringLiteral("食費/食材"), QStringLiteral("1"), QString());
    m_w->DateListBox1()->TheDate().setYMD(2015, 3, 31);
    exec(QStringLiteral(
        "INSERT INTO Items VALUES (50, '2015-02-10', 2015, 2, 10, 1, 1, 2, NULL, -1, NULL, 321, "
        "'own')"));
    exec(QStringLiteral(
        "INSERT INTO Items VALUES (51, '2015-02-11', 2015, 2, 11, 1, 3, NULL, 2, 52, NULL, 70, 't')"));
    exec(QStringLiteral(
        "INSERT INTO Items VALUES (52, '2015-02-11', 2015, 2, 11, 2, 4, NULL, 1, 51, 70, NULL, 't')"));
    m_w->SetlsbItem(-1);

    showEntry(50);
    EXPECT_FALSE(own(m_w->grbKinyu()));
    EXPECT_EQ(m_w->DateListBox1()->TheDate(), RollingDate(2015, 2, 10));
    EXPECT_EQ((QStringList{m_w->DateListBox1()->cell(0), m_w->DateListBox1()->cell(2),
                           m_w->DateListBox1()->cell(4)}),
              (QStringList{"2015", "2", "10"}));
    EXPECT_EQ(m_w->ppmHimoku()->text(), QStringLiteral("食費/食材"));
    EXPECT_EQ(m_w->tfdKingaku()->text(), QStringLiteral("321"));
    EXPECT_EQ(m_w->tfdBikou()->text(), QStringLiteral("own"));
    EXPECT_TRUE(own(m_w->pbtSinki()) && own(m_w->pbtHensyuu()) && own(m_w->pbtSakujyo()));

    showEntry(51);
    EXPECT_TRUE(m_w->rbtIdou()->value());
    EXPECT_EQ(m_w->lblHimokuSyubetu()->text(), QStringLiteral("移動先"));
    EXPECT_EQ(m_w->ppmHimoku()->text(), QStringLiteral("預金"));
    EXPECT_EQ(m_w->tfdKingaku()->text(), QStringLiteral("70"));
    showAccount(1);
    showEntry(52);
    EXPECT_EQ(m_w->lblHimokuSyubetu()->text(), QStringLiteral("移動元"));
    EXPECT_EQ(m_w->ppmHimoku()->text(), QStringLiteral("現金"));
    // The form is in new mode, yet the kind is the shown entry's.
    EXPECT_EQ(m_w->KinyuuStatus, 1);
    EXPECT_EQ(gSyubetuNo, 4);
    EXPECT_TRUE(m_ui->messages.isEmpty()) << messages().toStdString();
}

// Setting a text leaves the cursor at its end, which scrolls a long memo to its last words.
TEST_F(EntryFormTest, ALongMemoIsShownFromItsStart)
{
    const QString memo = QStringLiteral("始まり") + QString(197, QLatin1Char('x'));
    exec(QStringLiteral(
             "INSERT INTO Items VALUES (50, '2015-02-10', 2015, 2, 10, 1, 1, 2, NULL, -1, NULL, 321, "
             "'%1')")
             .arg(memo));
    open();
    m_w->SetlsbItem(-1);
    showEntry(50);
    QLineEdit *field = m_w->tfdBikou();
    ASSERT_EQ(field->text(), memo);
    // The field scrolls to keep the cursor in view: at 0 the memo's start is what is seen.
    EXPECT_EQ(field->cursorPosition(), 0);
}

TEST_F(EntryFormTest, AFailedShowDisablesEditAndDeleteSoTheyCannotActOnTheEntryBefore)
{
    open();
    enter(m_w->rbtSisyutu(), QStringLiteral("食費/食材"), QStringLiteral("1"), QString());
    enter(m_w->rbtSisyutu(), QStringLiteral("食費/食材"), QStringLiteral("2"), QString());
    m_w->lsbItem()->setListIndex(0);
    ASSERT_TRUE(own(m_w->pbtHensyuu()));
    exec(QStringLiteral("DELETE FROM Items WHERE Id = ") + m_w->lsbItem()->cell(1, 0));
    m_w->lsbItem()->setListIndex(1);
    EXPECT_FALSE(own(m_w->pbtHensyuu()));
    EXPECT_FALSE(own(m_w->pbtSakujyo()));
    EXPECT_FALSE(own(m_w->grbKinyu()));
    exec(QStringLiteral("ALTER TABLE Items RENAME TO Gone"));
    m_w->lsbItem()->setListIndex(0);
    EXPECT_FALSE(own(m_w->pbtHensyuu()));
    EXPECT_EQ(
        m_ui->messages,
        (QStringList{
            QStringLiteral("from lsbItem Change event : 選択されたデータは既に変更または削除されています。"),
            QStringLiteral("from lsbItem Change event : no such table: Items")}));
    exec(QStringLiteral("ALTER TABLE Gone RENAME TO Items"));

    // A stored kind outside 1 to 4 is shown with its message, and may be deleted but not edited.
    exec(QStringLiteral("UPDATE Items SET SyubetuNo = 9"));
    m_ui->messages.clear();
    m_w->lsbItem()->setListIndex(0);
    EXPECT_EQ(m_ui->messages, QStringList{QStringLiteral("from lsbItem Change event SyubetuNo error")});
    EXPECT_EQ(gSyubetuNo, 9);
    const QString before = ledgerDump();
    m_w->pbtHensyuu()->click();
    EXPECT_EQ(m_w->KinyuuStatus, 2);
    type(QStringLiteral("5"), QStringLiteral("m"));
    m_w->pbtNyuryoku()->click();
    EXPECT_EQ(ledgerDump(), before);
}

TEST_F(EntryFormTest, ChangingAnExpenseRewritesItAndKeepsTheEditMode)
{
    open();
    enter(m_w->rbtSisyutu(), QStringLiteral("食費/食材"), QStringLiteral("500"), QStringLiteral("a"));
    const auto id = static_cast<int32_t>(lastId());
    m_w->DateListBox1()->TheDate().setYMD(2024, 1, 1);
    enter(m_w->rbtSisyutu(), QStringLiteral("食費/アルコール"), QStringLiteral("30"), QStringLiteral("b"));
    const QString lastItems = queryText(QStringLiteral("SELECT * FROM LastItems"));

    showEntry(id);
    m_w->pbtHensyuu()->click();
    EXPECT_EQ(m_w->KinyuuStatus, 2);
    EXPECT_EQ(m_w->pbtNyuryoku()->text(), QStringLiteral("編集完了"));
    EXPECT_FALSE(own(m_w->lsbSisan()) || own(m_w->lsbItem()) || own(m_w->rbtSisyutu()) ||
                 own(m_w->pbtSakujyo()));
    EXPECT_TRUE(own(m_w->grbKinyu()) && own(m_w->ppmHimoku()) && own(m_w->pbtHensyuu()) &&
                own(m_w->pbtSinki()));
    m_w->DateListBox1()->TheDate().setYMD(2023, 12, 31);
    type(QStringLiteral("700"), QStringLiteral("changed"));
    m_w->pbtNyuryoku()->click();

    EXPECT_EQ(row(id), QStringLiteral("2023-12-31|2023|12|31|1|1|2|NULL|-1|NULL|700|changed"));
    EXPECT_EQ(zankin(kGenkin), -730);
    // The changed entry moved to the top of the date-ordered list.
    EXPECT_EQ(m_w->lsbItem()->cell(0, 0), QString::number(id));
    EXPECT_EQ(queryText(QStringLiteral("SELECT * FROM LastItems")), lastItems)
        << "a change leaves last-used values";
    expectReset(2);
    EXPECT_FALSE(own(m_w->rbtSisyutu()));
    EXPECT_EQ(m_w->lsbItem()->listIndex(), -1);

    // With no entry chosen the kept mode calls nothing.
    const QString before = ledgerDump();
    type(QStringLiteral("1"), QStringLiteral("again"));
    m_w->pbtNyuryoku()->click();
    EXPECT_EQ(ledgerDump(), before);

    // Another sub-item of the same kind; its last-used values replace what was typed.
    showEntry(id);
    m_w->pbtHensyuu()->click();
    choose(QStringLiteral("食費/アルコール"));
    EXPECT_EQ(m_w->tfdKingaku()->text(), QStringLiteral("30"));
    m_w->pbtNyuryoku()->click();
    EXPECT_EQ(row(id), QStringLiteral("2023-12-31|2023|12|31|1|1|3|NULL|-1|NULL|30|b"));

    // In edit mode without a sub-item (a header was chosen) nothing is written.
    showEntry(id);
    m_w->pbtHensyuu()->click();
    choose(QStringLiteral(">>食費"));
    type(QStringLiteral("999"), QString());
    m_w->pbtNyuryoku()->click();
    EXPECT_EQ(row(id), QStringLiteral("2023-12-31|2023|12|31|1|1|3|NULL|-1|NULL|30|b"));
    expectBalancesAgree();
    EXPECT_TRUE(m_ui->messages.isEmpty()) << messages().toStdString();
}

// A pair is changed and deleted from either of its rows; the confirmation always names the
// account the money leaves first.
class PairFromEitherRowTest : public EntryFormTest, public ::testing::WithParamInterface<bool>
{
protected:
    // Books 1000 from 現金 to 預金 and shows the chosen row of the pair.
    void showPairRow()
    {
        open();
        enter(m_w->rbtIdou(), QStringLiteral("預金"), QStringLiteral("1000"), QStringLiteral("m"));
        m_in = static_cast<int32_t>(lastId());
        m_out = m_in - 1;
        if (GetParam()) {
            showAccount(1);
            showEntry(m_in);
        } else {
            showEntry(m_out);
        }
    }

    void expectConfirmation(const QString &verb)
    {
        ASSERT_EQ(m_ui->confirmations.size(), 1);
        const auto &c = m_ui->confirmations.front();
        EXPECT_EQ(c.text, QStringLiteral("移動元(現金 )と \n移動先(預金 )の２件のレコード を") + verb +
                              QStringLiteral("していいですか？"));
        EXPECT_EQ(c.actionCaption, verb + QStringLiteral("する"));
        EXPECT_EQ(c.cancelCaption, verb + QStringLiteral("しない"));
        EXPECT_EQ(c.icon, Ui::Icon::Default);
    }

    int32_t m_out = 0;
    int32_t m_in = 0;
};

TEST_P(PairFromEitherRowTest, ChangingRewritesBothRowsAfterConfirmation)
{
    showPairRow();
    m_w->pbtHensyuu()->click();
    EXPECT_EQ(m_w->KinyuuStatus, GetParam() ? 24 : 23);
    EXPECT_FALSE(own(m_w->ppmHimoku()));
    const QString before = ledgerDump();
    type(QStringLiteral("2500"), QStringLiteral("changed"));
    m_w->pbtNyuryoku()->click();
    expectConfirmation(QStringLiteral("更新"));
    EXPECT_EQ(ledgerDump(), before) << "declined";
    expectReset(GetParam() ? 24 : 23);

    showEntry(GetParam() ? m_in : m_out);
    m_w->pbtHensyuu()->click();
    m_w->DateListBox1()->TheDate().setYMD(2024, 4, 1);
    type(QStringLiteral("2500"), QStringLiteral("changed"));
    m_ui->confirmAnswers.push_back(true);
    m_w->pbtNyuryoku()->click();
    EXPECT_EQ(row(m_out), QStringLiteral("2024-04-01|2024|4|1|1|3|NULL|2|%1|NULL|2500|changed").arg(m_in));
    EXPECT_EQ(row(m_in), QStringLiteral("2024-04-01|2024|4|1|2|4|NULL|1|%1|2500|NULL|changed").arg(m_out));
    EXPECT_EQ(zankin(kGenkin), -2500);
    EXPECT_EQ(zankin(kYokin), 2500);
    expectBalancesAgree();
    EXPECT_TRUE(m_ui->messages.isEmpty()) << messages().toStdString();
}

TEST_P(PairFromEitherRowTest, DeletingRemovesBothRowsAfterConfirmation)
{
    showPairRow();
    m_w->pbtSakujyo()->click();
    EXPECT_EQ(m_w->KinyuuStatus, 3);
    m_ui->confirmAnswers.push_back(true);
    m_w->pbtNyuryoku()->click();
    expectConfirmation(QStringLiteral("削除"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM Items")), 0);
    EXPECT_EQ(zankin(kGenkin), 0);
    EXPECT_EQ(zankin(kYokin), 0);
    EXPECT_EQ(m_w->lsbItem()->rowCount(), 0);
    expectBalancesAgree();
}

INSTANTIATE_TEST_SUITE_P(SourceOrDestination, PairFromEitherRowTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool> &info) {
                             return info.param ? std::string("FromDestinationRow")
                                               : std::string("FromSourceRow");
                         });

TEST_F(EntryFormTest, DeletingAnEntryAsksFirstAndScrollsToTheEntryAbove)
{
    open();
    for (int i = 1; i <= 20; ++i) {
        m_w->DateListBox1()->TheDate().setYMD(2024, 1, i);
        enter(m_w->rbtSisyutu(), QStringLiteral("食費/食材"), QString::number(i), QString());
    }
    const QString lastItems = queryText(QStringLiteral("SELECT * FROM LastItems"));
    m_w->lsbItem()->setListIndex(19);
    m_w->pbtSakujyo()->click();
    EXPECT_EQ(m_w->pbtNyuryoku()->text(), QStringLiteral("削除"));
    for (const QWidget *c :
         {static_cast<QWidget *>(m_w->ppmHimoku()), static_cast<QWidget *>(m_w->tfdKingaku()),
          static_cast<QWidget *>(m_w->DateListBox1()), static_cast<QWidget *>(m_w->pbtHensyuu()),
          static_cast<QWidget *>(m_w->lsbItem()), static_cast<QWidget *>(m_w->rbtIdou())}) {
        EXPECT_FALSE(own(c)) << c->objectName().toStdString();
    }
    m_w->pbtNyuryoku()->click();
    ASSERT_EQ(m_ui->confirmations.size(), 1);
    EXPECT_EQ(m_ui->confirmations[0].text, QStringLiteral("このレコードを削除していいですか？"));
    EXPECT_EQ(m_ui->confirmations[0].actionCaption, QStringLiteral("削除する"));
    EXPECT_EQ(m_ui->confirmations[0].cancelCaption, QStringLiteral("削除しない"));
    EXPECT_EQ(m_ui->confirmations[0].icon, Ui::Icon::Default);
    // Declined: the entry is still chosen, the fields are cleared and the mode stays.
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM Items")), 20);
    EXPECT_EQ(m_w->lsbItem()->listIndex(), 19);
    expectReset(3);

    type(QStringLiteral("0"), QString());
    m_ui->confirmAnswers.push_back(true);
    m_w->pbtNyuryoku()->click();
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM Items")), 19);
    EXPECT_EQ(scalar(QStringLiteral("SELECT max(Syukkin) FROM Items")), 19);
    EXPECT_EQ(zankin(kGenkin), -190);
    EXPECT_EQ(m_w->lsbItem()->rowCount(), 19);
    // Scrolled to the entry that stood above the deleted one, 17 rows up from it.
    EXPECT_EQ(m_w->lsbItem()->scrollPosition(), 1);
    EXPECT_EQ(queryText(QStringLiteral("SELECT * FROM LastItems")), lastItems);

    m_w->lsbItem()->setListIndex(0);
    m_w->pbtSakujyo()->click();
    type(QStringLiteral("0"), QString());
    m_ui->confirmAnswers.push_back(true);
    m_w->pbtNyuryoku()->click();
    EXPECT_EQ(scalar(QStringLiteral("SELECT min(Syukkin) FROM Items")), 2);
    EXPECT_EQ(m_w->lsbItem()->scrollPosition(), 1) << "no target: the end of the list";
    expectBalancesAgree();
}

TEST_F(EntryFormTest, AnAmountThatIsNotAWholeNumberIsRefusedAndNothingChanges)
{
    open();
    m_w->pbtSinki()->click();
    choose(QStringLiteral("食費/食材"));
    const QString refused[] = {"12a",  "",           " ",           "1,000",    "1e3",
                               "12.5", "2147483648", "-2147483649", "１０００", "0x10"};
    for (const QString &amount : refused) {
        type(amount, QStringLiteral("memo"));
        m_ui->messages.clear();
        m_w->pbtNyuryoku()->click();
        EXPECT_EQ(m_ui->messages, QStringList{QStringLiteral("記入　金額欄が数値ではありません")})
            << amount.toStdString();
        EXPECT_EQ(m_w->tfdKingaku()->text(), amount);
        EXPECT_EQ(m_w->tfdBikou()->text(), QStringLiteral("memo"));
        EXPECT_EQ(m_w->ppmHimoku()->text(), QStringLiteral("食費/食材"));
        EXPECT_EQ(m_w->KinyuuStatus, 1);
    }
    EXPECT_EQ(lastId(), 0);

    // Accepted amounts are stored as their value.
    const std::pair<const char *, int> accepted[] = {{" 700 ", 700},
                                                     {"+0500", 500},
                                                     {"-5", -5},
                                                     {"0", 0},
                                                     {"2147483647", 2147483647},
                                                     {"-2147483648", INT32_MIN}};
    for (const auto &[typed, value] : accepted) {
        choose(QStringLiteral("食費/食材"));
        type(QString::fromLatin1(typed), QString());
        m_w->pbtNyuryoku()->click();
        EXPECT_EQ(scalar(QStringLiteral("SELECT Syukkin FROM Items WHERE Id = (SELECT max(Id) FROM Items)")),
                  value)
            << typed;
    }
    expectBalancesAgree();
}

TEST_F(EntryFormTest, AMemoWithQuotesIsStoredAsTypedAndChangesNoOtherRow)
{
    open();
    enter(m_w->rbtSisyutu(), QStringLiteral("食費/食材"), QStringLiteral("100"), QStringLiteral("other"));
    enter(m_w->rbtSisyutu(), QStringLiteral("食費/食材"), QStringLiteral("200"), QStringLiteral("mine"));
    const auto mine = static_cast<int32_t>(lastId());
    const QString other = row(mine - 1);
    const QString memo = QStringLiteral("x' , Syukkin = 0 WHERE 1=1 --");
    showEntry(mine);
    m_w->pbtHensyuu()->click();
    type(QStringLiteral("300"), memo);
    m_w->pbtNyuryoku()->click();
    EXPECT_EQ(row(mine), QStringLiteral("2024-03-05|2024|3|5|1|1|2|NULL|-1|NULL|300|") + memo);
    EXPECT_EQ(row(mine - 1), other);
    m_w->pbtSinki()->click();
    enter(m_w->rbtSisyutu(), QStringLiteral("食費/食材"), QStringLiteral("1"), memo);
    EXPECT_EQ(row(static_cast<int32_t>(lastId())).section(QLatin1Char('|'), 11), memo);
    EXPECT_EQ(queryText(QStringLiteral("SELECT Bikou FROM LastItems")), memo);
    EXPECT_EQ(row(mine - 1), other);
    expectBalancesAgree();
    EXPECT_TRUE(m_ui->messages.isEmpty()) << messages().toStdString();
}

// Each writing action is whole or absent: a statement refused part way leaves the ledger and both lists as
// they were, with that statement's message.
class ActionFailureTest : public EntryFormTest, public ::testing::WithParamInterface<RefusedStatement>
{
};

TEST_P(ActionFailureTest, ARefusedStatementRollsTheWholeActionBack)
{
    open();
    enter(m_w->rbtSisyutu(), QStringLiteral("食費/食材"), QStringLiteral("100"), QStringLiteral("m"));
    enter(m_w->rbtIdou(), QStringLiteral("預金"), QStringLiteral("40"), QStringLiteral("t"));
    const QString before = ledgerDump();
    const int listed = m_w->lsbItem()->rowCount();
    exec(QString::fromUtf8(GetParam().trigger));

    const QString name = QString::fromLatin1(GetParam().name);
    if (name.startsWith(QStringLiteral("New"))) {
        enter(name.contains(QStringLiteral("Transfer")) ? m_w->rbtIdou() : m_w->rbtSisyutu(),
              name.contains(QStringLiteral("Transfer")) ? QStringLiteral("預金")
                                                        : QStringLiteral("食費/食材"),
              QStringLiteral("7"), QStringLiteral("n"));
    } else {
        m_w->lsbItem()->setListIndex(name.contains(QStringLiteral("Transfer")) ? 1 : 0);
        (name.startsWith(QStringLiteral("Edit")) ? m_w->pbtHensyuu() : m_w->pbtSakujyo())->click();
        type(QStringLiteral("7"), QStringLiteral("n"));
        m_ui->confirmAnswers.push_back(true);
        m_w->pbtNyuryoku()->click();
    }
    EXPECT_EQ(ledgerDump(), before);
    EXPECT_EQ(m_w->lsbItem()->rowCount(), listed);
    EXPECT_EQ(m_ui->messages, QStringList{QString::fromUtf8(GetParam().message)});
    EXPECT_FALSE(KakeiboDB->inTransaction());
}

INSTANTIATE_TEST_SUITE_P(
    EachWritingAction, ActionFailureTest,
    ::testing::Values(
        RefusedStatement{"NewExpenseInsert",
                         "CREATE TRIGGER t BEFORE INSERT ON Items BEGIN SELECT RAISE(ABORT,'boom'); END",
                         "from Method KinyuuSinkiSisyutuSyuunyuu: boom"},
        RefusedStatement{"NewExpenseLastItems",
                         "CREATE TRIGGER t BEFORE UPDATE ON LastItems BEGIN SELECT RAISE(ABORT,'boom'); END",
                         "from Method KinyuuHensyuu LastItem Update: boom"},
        RefusedStatement{"NewExpenseBalance",
                         "CREATE TRIGGER t BEFORE UPDATE ON Sisan BEGIN SELECT RAISE(ABORT,'boom'); END",
                         "from Method UpdateSisanZankin: boom"},
        RefusedStatement{"NewTransferDestination",
                         "CREATE TRIGGER t BEFORE INSERT ON Items WHEN NEW.SyubetuNo = 4 BEGIN SELECT "
                         "RAISE(ABORT,'boom'); END",
                         "from Method KinyuuSinki  insert Idousaki Item: boom"},
        RefusedStatement{
            "NewTransferSecondBalance",
            "CREATE TRIGGER t BEFORE UPDATE ON Sisan WHEN OLD.Id = 2 BEGIN SELECT RAISE(ABORT,'boom'); "
            "END",
            "from Method UpdateSisanZankin: boom"},
        RefusedStatement{"EditExpense",
                         "CREATE TRIGGER t BEFORE UPDATE ON Items BEGIN SELECT RAISE(ABORT,'boom'); END",
                         "from Method KinyuuHensyuu: boom"},
        RefusedStatement{"EditTransferDestination",
                         "CREATE TRIGGER t BEFORE UPDATE ON Items WHEN OLD.SyubetuNo = 4 BEGIN SELECT "
                         "RAISE(ABORT,'boom'); END",
                         "from Method KinyuuHensyuuIdou saki: boom"},
        RefusedStatement{"DeleteExpense",
                         "CREATE TRIGGER t BEFORE DELETE ON Items BEGIN SELECT RAISE(ABORT,'boom'); END",
                         "from Method KinyuSakujyo: boom"},
        RefusedStatement{"DeleteTransferDestination",
                         "CREATE TRIGGER t BEFORE DELETE ON Items WHEN OLD.SyubetuNo = 4 BEGIN SELECT "
                         "RAISE(ABORT,'boom'); END",
                         "from Method KinyuSakujyo Idousaki: boom"}),
    refusedStatementName);

// The listed account's balance is taken from the sums its refill read, not from a second
// scan of its entries, and is the number the balance rule's select gives: over entries of
// every kind, also those the running balance leaves out, with both amount columns filled.
// Amounts that make SQL's SUM something else (a real, a text, an overflow) leave it to SUM.
struct ReusedSumCase
{
    const char *what;
    const char *rows;
    // Statements reading Items during the Input of a new expense and of a new transfer (an
    // edit and a delete read as many as the expense, one more to show their entry and one to
    // find it still standing by its Id before it is changed).
    int expenseReads;
    int transferReads;
    bool overflow;
};

class ReusedSumTest : public EntryFormTest, public ::testing::WithParamInterface<ReusedSumCase>
{
protected:
    // What the balance rule's select and the opening amount give, read as the rule reads them.
    qint64 ruleBalance(int32_t account)
    {
        const QString id = QString::number(account);
        return scalar(QStringLiteral("SELECT SyokiKingaku FROM Sisan WHERE Id = ") + id) +
               scalar(QStringLiteral("SELECT SUM(Nyuukin) FROM Items WHERE SisanNo = ") + id) -
               scalar(QStringLiteral("SELECT SUM(Syukkin) FROM Items WHERE SisanNo = ") + id);
    }
};

TEST_P(ReusedSumTest, TheListedAccountsBalanceIsTheRulesOwnNumber)
{
    exec(QStringLiteral("UPDATE Sisan SET SyokiKingaku = 900 WHERE Id = 1"));
    exec(QStringLiteral(
        "INSERT INTO Items (Id, Hizuke, Nen, Tuki, Hi, SisanNo, SyubetuNo, HimokuNo, IdouSisanNo, IdouId, "
        "Nyuukin, Syukkin, Bikou) VALUES "
        "(100, '2024-03-01', 2024, 3, 1, 1, 1, 2, NULL, -1, 7, 300, 'e'),"
        "(101, '2024-03-01', 2024, 3, 1, 1, 2, 77, NULL, -1, 500, 11, 'i'),"
        "(102, '2024-03-02', 2024, 3, 2, 1, 3, NULL, 2, 103, 13, 200, 'o'),"
        "(103, '2024-03-02', 2024, 3, 2, 2, 4, NULL, 1, 102, 200, NULL, 'o'),"
        "(104, '2024-03-03', 2024, 3, 3, 1, 4, NULL, 2, 105, 100, -17, 'i'),"
        "(105, '2024-03-03', 2024, 3, 3, 2, 3, NULL, 1, 104, NULL, 100, 'i'),"
        "(106, '2024-03-04', 2024, 3, 4, 1, 0, 5, NULL, -1, 40, 60, 'zero'),"
        "(107, '2024-03-05', 2024, 3, 5, 1, 5, NULL, NULL, -1, -1000, 3, 'five'),"
        "(108, '2024-03-06', 2024, 3, 6, 1, 9, 5, 7, 9, 23, 29, 'nine')"));
    if (*GetParam().rows) {
        exec(QString::fromLatin1(GetParam().rows));
    }
    open();
    ASSERT_EQ(gSisanCode.SisanId, kGenkin);
    const int listed = m_w->lsbItem()->rowCount();
    const qint64 stored = zankin(kGenkin);
    const std::vector<std::function<void()>> actions = {
        [this] { enter(m_w->rbtSisyutu(), QStringLiteral("食費/食材"), QStringLiteral("100"), QString()); },
        [this] { enter(m_w->rbtIdou(), QStringLiteral("預金"), QStringLiteral("40"), QString()); },
        [this] {
            showEntry(100);
            m_w->pbtHensyuu()->click();
            type(QStringLiteral("350"), QStringLiteral("e"));
            m_w->pbtNyuryoku()->click();
        },
        [this] {
            showEntry(101);
            m_w->pbtSakujyo()->click();
            m_ui->confirmAnswers.push_back(true);
            m_w->pbtNyuryoku()->click();
        },
    };
    const int reads[] = {GetParam().expenseReads, GetParam().transferReads, GetParam().expenseReads + 2,
                         GetParam().expenseReads + 2};
    for (size_t i = 0; i < actions.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(itemsReadsDuring(actions[i]), reads[i]);
        EXPECT_FALSE(KakeiboDB->inTransaction());
        if (GetParam().overflow) {
            // Never wrapped: reported, nothing stored, the list as the ledger holds it.
            EXPECT_EQ(m_ui->messages, QStringList{QStringLiteral("integer overflow")});
            EXPECT_EQ(zankin(kGenkin), stored);
            EXPECT_EQ(m_w->lsbItem()->rowCount(), listed);
            m_ui->messages.clear();
            continue;
        }
        EXPECT_TRUE(m_ui->messages.isEmpty()) << messages().toStdString();
        EXPECT_EQ(zankin(kGenkin), ruleBalance(kGenkin));
        if (i >= 1) {
            // Up to date once a transfer has involved it.
            EXPECT_EQ(zankin(kYokin), ruleBalance(kYokin));
        }
        EXPECT_EQ(m_w->lsbSisan()->cell(0, 2), formatAmount(zankin(kGenkin)));
    }
}

INSTANTIATE_TEST_SUITE_P(
    EveryKindOfEntry, ReusedSumTest,
    ::testing::Values(
        ReusedSumCase{"IntegerAmounts", "", 1, 2, false},
        ReusedSumCase{
            "ARealAmount",
            "INSERT INTO Items (SisanNo, Hizuke, Nen, Tuki, Hi, SyubetuNo, Nyuukin) VALUES (1, '2024-01-01', "
            "2024, 1, 1, 0, 2.75)",
            2, 3, false},
        ReusedSumCase{
            "ATextAmount",
            "INSERT INTO Items (SisanNo, Hizuke, Nen, Tuki, Hi, SyubetuNo, Syukkin) VALUES (1, '2024-01-01', "
            "2024, 1, 1, 5, 'x')",
            2, 3, false},
        // The running balance leaves kinds 0 and 5 out and stays in range; SQL's SUM overflows.
        ReusedSumCase{
            "ASumPastTheLimit",
            "INSERT INTO Items (SisanNo, Hizuke, Nen, Tuki, Hi, SyubetuNo, Nyuukin) VALUES (1, '2024-01-01', "
            "2024, 1, 1, 0, 9223372036854775807), (1, '2024-01-01', 2024, 1, 1, 5, "
            "9223372036854775807)",
            3, 3, true}),
    [](const ::testing::TestParamInfo<ReusedSumCase> &info) { return std::string(info.param.what); });

TEST_F(EntryFormTest, NothingIsBookedToAnAccountOrSubItemTheLedgerNoLongerLists)
{
    open();
    exec(QStringLiteral("INSERT INTO Sisan VALUES (3, '財布', 0, 0)"));
    m_w->SetlsbSisan();
    m_w->pbtSinki()->click();
    m_w->rbtIdou()->click();
    choose(QStringLiteral("財布"));
    // The account is deleted elsewhere while the popup still lists it.
    exec(QStringLiteral("DELETE FROM Sisan WHERE Id = 3"));
    m_w->SetlsbSisan();
    type(QStringLiteral("10"), QString());
    m_w->pbtNyuryoku()->click();
    EXPECT_EQ(lastId(), 0);

    // Rows carry their Id: a rebuilt table does not shift a chosen row onto another sub-item.
    m_w->rbtSisyutu()->click();
    choose(QStringLiteral("食費/食材"));
    LookupTable<QString> subItemsOnly;
    for (const auto &[id, text] : gDicSisyutu) {
        if (!text.startsWith(QStringLiteral(">>"))) {
            subItemsOnly.set(id, text);
        }
    }
    gDicSisyutu = subItemsOnly;
    type(QStringLiteral("10"), QString());
    m_w->pbtNyuryoku()->click();
    EXPECT_EQ(scalar(QStringLiteral("SELECT HimokuNo FROM Items")), 2);

    // Without any account nothing can be booked, and nothing breaks.
    exec(QStringLiteral("DELETE FROM Sisan"));
    GSisanCodeInit = true;
    m_w->SetlsbSisan();
    m_w->SetlsbItem(-1);
    choose(QStringLiteral("食費/食材"));
    type(QStringLiteral("10"), QString());
    m_w->pbtNyuryoku()->click();
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM Items")), 1);
    // Neither refusal is silent, and neither claims what did not happen: the account chosen
    // was deleted; without any account, nothing was.
    EXPECT_EQ(m_ui->messages,
              (QStringList{QStringLiteral("選択されたデータは既に変更または削除されています。"),
                           QStringLiteral("記入する資産項目がありません。")}));
}

TEST_F(EntryFormTest, CancelNewAndTheModesTheyLeave)
{
    open();
    enter(m_w->rbtSyunyu(), QStringLiteral("給料/給料"), QStringLiteral("100"), QString());
    showEntry(static_cast<int32_t>(lastId()));

    // New in delete mode: new mode with the expense kind, the fields and lists still locked
    // and the caption "削除" until Cancel.
    m_w->pbtSakujyo()->click();
    m_w->pbtSinki()->click();
    EXPECT_EQ(m_w->KinyuuStatus, 1);
    EXPECT_EQ(gSyubetuNo, 1);
    EXPECT_EQ(m_w->lblHimokuSyubetu()->text(), QStringLiteral("支出費目"));
    EXPECT_EQ(m_w->pbtNyuryoku()->text(), QStringLiteral("削除"));
    EXPECT_FALSE(own(m_w->tfdKingaku()) || own(m_w->lsbItem()));
    EXPECT_TRUE(own(m_w->rbtSisyutu()));
    m_w->pbtNyuryoku()->click();
    EXPECT_EQ(m_ui->messages, QStringList{QStringLiteral("記入　金額欄が数値ではありません")});

    // Escape is Cancel.
    m_w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(m_w));
    QTest::keyClick(m_w, Qt::Key_Escape);
    expectReset(1);
    EXPECT_TRUE(own(m_w->grbKinyu()));
    EXPECT_EQ(gSyubetuNo, 1);

    // A mode outside the table says so.
    m_w->KinyuuStatus = 0;
    type(QStringLiteral("5"), QString());
    m_ui->messages.clear();
    m_w->pbtNyuryoku()->click();
    EXPECT_EQ(m_ui->messages, QStringList{QStringLiteral("記入入力処理で　kinyuuStatus が不正です")});
    EXPECT_EQ(m_w->tfdKingaku()->text(), QStringLiteral("5"));
    EXPECT_EQ(lastId(), 1);
}

// Under a larger application font, set as a desktop theme sets it, every control stays whole
// in every mode of the form and the date picker's digits are whole; at the default font every
// control stands where it always has.

// Whether any of the picker's text touches the edge of its cell or the row's top or bottom
// line: a cut digit is drawn up to the edge it is cut at.
std::vector<std::string> cellsCut(DateListBox &picker)
{
    const QImage image = picker.grab().toImage();
    const QRect inner = picker.rect().adjusted(1, 1, -1, -1);
    const auto ink = [&](int x, int y) { return image.pixelColor(x, y) != QColor(Qt::white); };
    // The cells' widths: 40%, 10%, 20%, 10%, 20% of the row.
    const int percents[] = {40, 10, 20, 10, 20};
    std::vector<std::string> cut;
    int left = inner.left();
    for (int cell = 0; cell < 5; ++cell) {
        const int right = cell == 4 ? inner.right() : left + inner.width() * percents[cell] / 100 - 1;
        bool touches = false;
        for (int y = inner.top(); y <= inner.bottom(); ++y) {
            touches = touches || ink(left, y) || ink(right, y);
        }
        for (int x = left; x <= right; ++x) {
            touches = touches || ink(x, inner.top()) || ink(x, inner.bottom());
        }
        if (touches) {
            cut.push_back(picker.cell(cell).toStdString());
        }
        left = right + 1;
    }
    return cut;
}

TEST_F(EntryFormTest, EveryControlStaysWholeInEveryModeOfTheForm)
{
    exec(QStringLiteral("INSERT INTO Items VALUES (50, '2024-02-10', 2024, 2, 10, 1, 1, 2, NULL, -1, NULL, "
                        "321, 'memo')"));
    for (const ThemeFont &font : kLargerFonts) {
        SCOPED_TRACE(::testing::PrintToString(font));
        ApplicationFontScope scope(font);
        wndKakeibo *w = open();
        EXPECT_EQ(misfitControls(*w), std::vector<std::string>()) << "idle";
        w->pbtSinki()->click();
        for (RadioButton *kind : {w->rbtSisyutu(), w->rbtSyunyu(), w->rbtIdou()}) {
            kind->setValue(true);
            EXPECT_EQ(misfitControls(*w), std::vector<std::string>()) << kind->text().toStdString();
        }
        w->pbtTorikesi()->click();
        for (QPushButton *mode : {w->pbtHensyuu(), w->pbtSakujyo()}) {
            w->lsbItem()->setListIndex(0);
            mode->click();
            ASSERT_NE(w->pbtNyuryoku()->text(), QStringLiteral("入力")) << "the entry was not shown";
            EXPECT_EQ(misfitControls(*w), std::vector<std::string>()) << mode->objectName().toStdString();
            w->pbtTorikesi()->click();
        }
        closeWindow();
    }
}

TEST_F(EntryFormTest, TheDatePickersDigitsAreWhole)
{
    for (const ThemeFont &font : kLargerFonts) {
        SCOPED_TRACE(::testing::PrintToString(font));
        ApplicationFontScope scope(font);
        DateListBox *picker = open()->DateListBox1();
        // The widest date the picker shows.
        picker->TheDate().setYMD(2888, 12, 28);
        picker->DisplayDate();
        EXPECT_EQ(cellsCut(*picker), std::vector<std::string>());
        closeWindow();
    }
}

TEST_F(EntryFormTest, AtTheDefaultFontEveryControlKeepsItsPlaceAndTheDateItsLook)
{
    exec(QStringLiteral("INSERT INTO Items VALUES (50, '2024-02-10', 2024, 2, 10, 1, 1, 2, NULL, -1, NULL, "
                        "321, 'memo')"));
    wndKakeibo *w = open();
    // In edit mode, so that the texts the form shows are measured too.
    w->lsbItem()->setListIndex(0);
    w->pbtHensyuu()->click();
    EXPECT_EQ(controlGeometries(*w), (std::vector<std::string>{"wndKakeiboContent 0,23 1096x686 12px",
                                                               "grbKakeibo1 336,8 752x366 14px",
                                                               "lsbItem 3,24 745x310 12px",
                                                               "lblItotal 448,338 296x22 12px",
                                                               "grbKakeibo2 336,382 752x296 12px",
                                                               "pbtSinki 12,24 96x28 12px",
                                                               "pbtHensyuu 116,24 96x28 12px",
                                                               "pbtSakujyo 220,24 96x28 12px",
                                                               "grbKinyu 8,60 736x228 12px",
                                                               "lblHimokuSyubetu 16,82 72x24 12px",
                                                               "Label2 16,154 72x24 12px",
                                                               "ppmHimoku 92,82 300x26 12px",
                                                               "Label3 16,118 72x24 12px",
                                                               "tfdKingaku 92,118 160x24 12px",
                                                               "tfdBikou 92,154 520x24 12px",
                                                               "pbtTorikesi 516,190 96x28 12px",
                                                               "pbtNyuryoku 624,190 96x28 12px",
                                                               "DateListBox1 316,36 120x20 12px",
                                                               "lblItemID 624,36 96x20 12px",
                                                               "Rectangle1 16,28 276x36 12px",
                                                               "rbtSisyutu 12,8 80x20 12px",
                                                               "rbtSyunyu 100,8 80x20 12px",
                                                               "rbtIdou 188,8 80x20 12px",
                                                               "grbKakeibo3 8,8 320x670 14px",
                                                               "lblToday 10,26 300x18 10px",
                                                               "lsbSisan 6,48 308x582 12px",
                                                               "lblStotal 6,638 308x22 12px"}));
    EXPECT_EQ(cellsCut(*w->DateListBox1()), std::vector<std::string>());
}

} // namespace
