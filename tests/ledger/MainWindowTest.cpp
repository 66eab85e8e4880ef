#include "MainWindowFixture.h"
#include "WindowState.h"
#include "app/mdlGlobal.h"
#include "ledger/DateListBox.h"
#include "ledger/wndKakeibo.h"
#include "platform/ListBox.h"
#include "platform/PopupMenu.h"
#include "platform/RadioButton.h"
#include "platform/RollingDate.h"
#include "platform/SqlText.h"

#include <QDir>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

namespace {

class MainWindowTest : public MainWindowFixture
{
protected:
    void addEntry(int id, const char *date, int account, int kind, const char *himoku,
                  const char *partnerAccount, int partnerEntry, const char *received, const char *paid,
                  const char *memo)
    {
        const QString d = QString::fromLatin1(date);
        exec(QStringLiteral(
                 "INSERT INTO Items (Id, Hizuke, Nen, Tuki, Hi, SisanNo, SyubetuNo, HimokuNo, "
                 "IdouSisanNo, IdouId, Nyuukin, Syukkin, Bikou) VALUES (%1, '%2', %3, %4, %5, %6, %7, "
                 "%8, %9, %10, %11, %12, %13)")
                 .arg(id)
                 .arg(d)
                 .arg(d.left(4).toInt())
                 .arg(d.mid(5, 2).toInt())
                 .arg(d.mid(8, 2).toInt())
                 .arg(account)
                 .arg(kind)
                 .arg(QString::fromLatin1(himoku), QString::fromLatin1(partnerAccount))
                 .arg(partnerEntry)
                 .arg(QString::fromLatin1(received), QString::fromLatin1(paid),
                      sqlQuote(QString::fromUtf8(memo))));
    }

    // An account with opening amount 900 and one entry of every kind, inserted out of date
    // order, and a row of an unknown kind between them.
    void fillRunningBalanceLedger()
    {
        createLedger(QStringLiteral("ledger.sqlf"));
        exec(QStringLiteral("UPDATE Sisan SET SyokiKingaku = 900, Zankin = 1000 WHERE Id = 1"));
        exec(QStringLiteral("UPDATE Sisan SET SyokiKingaku = 50, Zankin = 150 WHERE Id = 2"));
        addEntry(10, "2024-03-04", 1, 4, "NULL", "2", 11, "100", "NULL", "戻し");
        addEntry(11, "2024-03-04", 2, 3, "NULL", "1", 10, "NULL", "100", "戻し");
        addEntry(12, "2024-03-01", 1, 1, "2", "NULL", -1, "NULL", "300", "野菜");
        addEntry(13, "2024-03-03", 1, 3, "NULL", "2", 14, "NULL", "200", "預け");
        addEntry(14, "2024-03-03", 2, 4, "NULL", "1", 13, "200", "NULL", "預け");
        addEntry(15, "2024-03-02", 1, 2, "77", "NULL", -1, "500", "NULL", "給料 's");
        addEntry(16, "2024-03-02", 1, 9, "5", "NULL", -1, "40", "60", "odd");
    }

    static QStringList rowCells(const ListBox *list, int row)
    {
        QStringList cells;
        for (int c = 0; c < list->columnCount(); ++c) {
            cells << list->cell(row, c);
        }
        return cells;
    }

    static QStringList cells(std::initializer_list<const char *> texts)
    {
        QStringList out;
        for (const char *t : texts) {
            out << QString::fromUtf8(t);
        }
        return out;
    }
};

TEST_F(MainWindowTest, WithoutALedgerTheWindowOpensEmptyAndSilent)
{
    wndKakeibo *w = wndKakeibo::instance();
    EXPECT_EQ(w->objectName(), QStringLiteral("wndKakeibo"));
    EXPECT_EQ(w->windowTitle(), QStringLiteral("Quorvela"));
    EXPECT_EQ(w->centralWidget()->size(), QSize(1096, 686));
    EXPECT_EQ(w->lsbSisan()->rowCount(), 0);
    EXPECT_EQ(w->lsbItem()->rowCount(), 0);
    EXPECT_EQ(w->lblItotal()->text(), QStringLiteral("0"));
    EXPECT_EQ(w->lblStotal()->text(), QStringLiteral("0"));
    EXPECT_EQ(w->lblToday()->text(), QStringLiteral("Today"));
    EXPECT_EQ(w->grbKakeibo1()->title(), QStringLiteral("sisan"));
    EXPECT_FALSE(w->grbKakeibo2()->isEnabled());
    EXPECT_EQ(w->KinyuuStatus, 0);
    EXPECT_TRUE(m_ui->messages.isEmpty());
    EXPECT_EQ(wndKakeibo::instance(), w) << "one window";
}

TEST_F(MainWindowTest, EveryControlCarriesItsNameCaptionAndInitialState)
{
    wndKakeibo *w = wndKakeibo::instance();
    const struct
    {
        QWidget *control;
        const char *name;
        const char *parent;
    } controls[] = {
        {w->grbKakeibo1(), "grbKakeibo1", "wndKakeiboContent"},
        {w->lsbItem(), "lsbItem", "grbKakeibo1"},
        {w->lblItotal(), "lblItotal", "grbKakeibo1"},
        {w->grbKakeibo2(), "grbKakeibo2", "wndKakeiboContent"},
        {w->pbtSinki(), "pbtSinki", "grbKakeibo2"},
        {w->pbtHensyuu(), "pbtHensyuu", "grbKakeibo2"},
        {w->pbtSakujyo(), "pbtSakujyo", "grbKakeibo2"},
        {w->grbKinyu(), "grbKinyu", "grbKakeibo2"},
        {w->lblHimokuSyubetu(), "lblHimokuSyubetu", "grbKinyu"},
        {w->Label2(), "Label2", "grbKinyu"},
        {w->ppmHimoku(), "ppmHimoku", "grbKinyu"},
        {w->Label3(), "Label3", "grbKinyu"},
        {w->tfdKingaku(), "tfdKingaku", "grbKinyu"},
        {w->tfdBikou(), "tfdBikou", "grbKinyu"},
        {w->pbtTorikesi(), "pbtTorikesi", "grbKinyu"},
        {w->pbtNyuryoku(), "pbtNyuryoku", "grbKinyu"},
        {w->DateListBox1(), "DateListBox1", "grbKinyu"},
        {w->lblItemID(), "lblItemID", "grbKinyu"},
        {w->Rectangle1(), "Rectangle1", "grbKinyu"},
        {w->rbtSisyutu(), "rbtSisyutu", "Rectangle1"},
        {w->rbtSyunyu(), "rbtSyunyu", "Rectangle1"},
        {w->rbtIdou(), "rbtIdou", "Rectangle1"},
        {w->grbKakeibo3(), "grbKakeibo3", "wndKakeiboContent"},
        {w->lblToday(), "lblToday", "grbKakeibo3"},
        {w->lsbSisan(), "lsbSisan", "grbKakeibo3"},
        {w->lblStotal(), "lblStotal", "grbKakeibo3"},
    };
    for (const auto &c : controls) {
        ASSERT_NE(c.control, nullptr) << c.name;
        EXPECT_EQ(c.control->objectName(), QString::fromLatin1(c.name));
        EXPECT_EQ(c.control->parentWidget()->objectName(), QString::fromLatin1(c.parent)) << c.name;
        EXPECT_EQ(w->findChild<QWidget *>(QString::fromLatin1(c.name)), c.control);
    }
    EXPECT_EQ(w->grbKakeibo2()->title(), QStringLiteral("記帳"));
    EXPECT_EQ(w->grbKinyu()->title(), QStringLiteral("記入"));
    EXPECT_EQ(w->grbKakeibo3()->title(), QStringLiteral("資産"));
    EXPECT_EQ(w->pbtSinki()->text(), QStringLiteral("新規"));
    EXPECT_EQ(w->pbtHensyuu()->text(), QStringLiteral("編集"));
    EXPECT_EQ(w->pbtSakujyo()->text(), QStringLiteral("削除"));
    EXPECT_EQ(w->pbtTorikesi()->text(), QStringLiteral("取消"));
    EXPECT_EQ(w->pbtNyuryoku()->text(), QStringLiteral("入力"));
    EXPECT_EQ(w->lblHimokuSyubetu()->text(), QStringLiteral("費目"));
    EXPECT_EQ(w->Label2()->text(), QStringLiteral("備考"));
    EXPECT_EQ(w->Label3()->text(), QStringLiteral("金額"));
    EXPECT_EQ(w->rbtSisyutu()->text(), QStringLiteral("支出"));
    EXPECT_EQ(w->rbtSyunyu()->text(), QStringLiteral("収入"));
    EXPECT_EQ(w->rbtIdou()->text(), QStringLiteral("移動"));
    EXPECT_TRUE(w->rbtSisyutu()->value());
    EXPECT_FALSE(w->rbtSyunyu()->value());
    EXPECT_FALSE(w->rbtIdou()->value());
    EXPECT_FALSE(w->pbtHensyuu()->isEnabledTo(w->grbKakeibo2()));
    EXPECT_FALSE(w->pbtSakujyo()->isEnabledTo(w->grbKakeibo2()));
    EXPECT_TRUE(w->pbtSinki()->isEnabledTo(w->grbKakeibo2()));
    EXPECT_TRUE(w->grbKinyu()->isEnabledTo(w->grbKakeibo2()));
    EXPECT_TRUE(w->lblItemID()->isHidden());
    EXPECT_FALSE(w->lblItemID()->isEnabledTo(w->grbKinyu()));
    EXPECT_EQ(w->Rectangle1()->palette().color(QPalette::Window), QColor(0xE2E2E2));
    EXPECT_EQ(w->ppmHimoku()->rowCount(), 0);
    EXPECT_EQ(w->lsbItem()->size(), QSize(745, 310));
    EXPECT_EQ(w->DateListBox1()->size(), QSize(120, 20));
    EXPECT_EQ(w->grbKakeibo1()->font().pixelSize(), 14);
    EXPECT_EQ(w->grbKakeibo3()->font().pixelSize(), 14);
    EXPECT_EQ(w->lsbItem()->font().pixelSize(), 12);
    EXPECT_EQ(w->lsbSisan()->font().pixelSize(), 12);
    EXPECT_EQ(w->lblToday()->font().pixelSize(), 10);
    EXPECT_NE(w->lblItotal()->font().pixelSize(), 14) << "a group's text size is not handed down";
    for (auto *b : w->findChildren<QPushButton *>()) {
        EXPECT_FALSE(b->isDefault() || b->autoDefault()) << b->objectName().toStdString();
    }
    // Headings and hidden columns.
    const QStringList itemHeadings = cells({"番号", "日付", "費目", "収入", "支出", "残高", "Bikou",
                                            "SisanNo", "SyubetuNo", "HimokuNo", "IdouSisanNo", "IdouId"});
    for (int c = 0; c < 12; ++c) {
        EXPECT_EQ(w->lsbItem()->listModel()->heading(c), itemHeadings.at(c));
        EXPECT_EQ(w->lsbItem()->isColumnHidden(c), c == 0 || c >= 6) << c;
    }
    const QStringList accountHeadings = cells({"ID", "名称", "残金", "SyokiKingaku"});
    for (int c = 0; c < 4; ++c) {
        EXPECT_EQ(w->lsbSisan()->listModel()->heading(c), accountHeadings.at(c));
        EXPECT_EQ(w->lsbSisan()->isColumnHidden(c), c == 0 || c == 3) << c;
    }
    EXPECT_EQ(w->lsbSisan()->listModel()->columnAlignment(2), ListBox::Alignment::Decimal);
    for (int c : {3, 4, 5}) {
        EXPECT_EQ(w->lsbItem()->listModel()->columnAlignment(c), ListBox::Alignment::Decimal);
    }
    EXPECT_EQ(w->lsbItem()->fullyVisibleRows(), 17);
}

TEST_F(MainWindowTest, FullRefreshListsTheAccountsAndSelectsTheFirst)
{
    createLedger(QStringLiteral("ledger.sqlf"));
    exec(QStringLiteral("UPDATE Sisan SET Zankin = 1234567, SyokiKingaku = 1000 WHERE Id = 1"));
    exec(QStringLiteral("UPDATE Sisan SET Zankin = -1500, SyokiKingaku = -5000 WHERE Id = 2"));
    exec(QStringLiteral("INSERT INTO Sisan VALUES (5, 'カード', 7, 0)"));
    wndKakeibo *w = wndKakeibo::instance();

    const ListBox *list = w->lsbSisan();
    ASSERT_EQ(list->rowCount(), 3);
    EXPECT_EQ(rowCells(list, 0), cells({"1", "現金", "1,234,567", "1000"}));
    EXPECT_EQ(rowCells(list, 1), cells({"2", "預金", "-1,500", "-5000"}));
    EXPECT_EQ(rowCells(list, 2), cells({"5", "カード", "0", "7"}));
    EXPECT_EQ(gDicSisan.keys(), (std::vector<int32_t>{1, 2, 5}));
    EXPECT_EQ(gDicSisan.value(5), QStringLiteral("カード"));
    EXPECT_EQ(w->lblStotal()->text(), QStringLiteral("1,233,067(円)"));
    EXPECT_EQ(list->listIndex(), 0);
    EXPECT_EQ(w->grbKakeibo1()->title(), QStringLiteral("現金"));
    EXPECT_EQ(gSisanCode.SisanRow, 0);
    EXPECT_EQ(gSisanCode.SisanId, 1);
    EXPECT_FALSE(GSisanCodeInit);
    EXPECT_TRUE(w->pbtSinki()->isEnabledTo(w->grbKakeibo2()));
    EXPECT_FALSE(w->pbtHensyuu()->isEnabledTo(w->grbKakeibo2()));
    EXPECT_FALSE(w->pbtSakujyo()->isEnabledTo(w->grbKakeibo2()));
    EXPECT_EQ(w->KinyuuStatus, 1);
    EXPECT_FALSE(w->grbKinyu()->isEnabledTo(w->grbKakeibo2()));
    EXPECT_EQ(w->ppmHimoku()->rowCount(), 0);
    EXPECT_EQ(w->ppmHimoku()->listIndex(), -1);
    EXPECT_EQ(w->lblToday()->text(), RollingDate::today().shortDate());
    EXPECT_EQ(w->lblItotal()->text(), QStringLiteral("1,000(円)"));
    EXPECT_TRUE(w->accountSelected());
    EXPECT_TRUE(m_ui->messages.isEmpty()) << m_ui->messages.join(QLatin1Char('\n')).toStdString();

    // A refill without the flag keeps the account shown but selects no row.
    w->lsbSisan()->setListIndex(1);
    EXPECT_EQ(w->grbKakeibo1()->title(), QStringLiteral("預金"));
    EXPECT_EQ(w->lblItotal()->text(), QStringLiteral("-5,000(円)"));
    w->SetlsbSisan();
    EXPECT_EQ(w->lsbSisan()->listIndex(), -1);
    EXPECT_EQ(gSisanCode.SisanRow, 1);
    EXPECT_EQ(gSisanCode.SisanId, 2);
    EXPECT_EQ(w->grbKakeibo1()->title(), QStringLiteral("預金"));
    EXPECT_EQ(w->lblItotal()->text(), QStringLiteral("-5,000(円)"));
}

TEST_F(MainWindowTest, EntryListShowsRunningBalancesAndHiddenCells)
{
    fillRunningBalanceLedger();
    wndKakeibo *w = wndKakeibo::instance();
    const ListBox *list = w->lsbItem();
    ASSERT_EQ(list->rowCount(), 5);
    EXPECT_EQ(rowCells(list, 0),
              cells({"12", "2024-03-01", "食費/食材", "", "300", "600", "野菜", "1", "1", "2", "0", "-1"}));
    EXPECT_EQ(rowCells(list, 1), cells({"15", "2024-03-02", "給料/給料", "500", "", "1,100", "給料 's", "1",
                                        "2", "77", "0", "-1"}));
    // An unknown kind shows no category or amount and carries the balance over.
    EXPECT_EQ(rowCells(list, 2),
              cells({"16", "2024-03-02", "", "", "", "1,100", "odd", "1", "9", "5", "0", "-1"}));
    EXPECT_EQ(rowCells(list, 3),
              cells({"13", "2024-03-03", "預金 へ", "", "200", "900", "預け", "1", "3", "0", "2", "14"}));
    EXPECT_EQ(rowCells(list, 4),
              cells({"10", "2024-03-04", "預金 から", "100", "", "1,000", "戻し", "1", "4", "0", "2", "11"}));
    EXPECT_EQ(w->lblItotal()->text(), QStringLiteral("1,000(円)"));
    EXPECT_EQ(list->listIndex(), -1);

    w->lsbSisan()->setListIndex(1);
    ASSERT_EQ(list->rowCount(), 2);
    EXPECT_EQ(rowCells(list, 0),
              cells({"14", "2024-03-03", "現金 から", "200", "", "250", "預け", "2", "4", "0", "1", "13"}));
    EXPECT_EQ(rowCells(list, 1),
              cells({"11", "2024-03-04", "現金 へ", "", "100", "150", "戻し", "2", "3", "0", "1", "10"}));
    EXPECT_EQ(w->lblItotal()->text(), QStringLiteral("150(円)"));
    EXPECT_TRUE(m_ui->messages.isEmpty()) << m_ui->messages.join(QLatin1Char('\n')).toStdString();
}

TEST_F(MainWindowTest, SumsBeyondThirtyTwoBitsDoNotWrap)
{
    createLedger(QStringLiteral("ledger.sqlf"));
    exec(QStringLiteral("UPDATE Sisan SET SyokiKingaku = 2000000000, Zankin = 4000000000 WHERE Id = 1"));
    exec(QStringLiteral("UPDATE Sisan SET Zankin = 2000000000 WHERE Id = 2"));
    addEntry(1, "2024-01-01", 1, 2, "77", "NULL", -1, "2000000000", "NULL", "");
    wndKakeibo *w = wndKakeibo::instance();
    EXPECT_EQ(w->lsbItem()->cell(0, 5), QStringLiteral("4,000,000,000"));
    EXPECT_EQ(w->lblItotal()->text(), QStringLiteral("4,000,000,000(円)"));
    EXPECT_EQ(w->lsbSisan()->cell(0, 2), QStringLiteral("4,000,000,000"));
    EXPECT_EQ(w->lblStotal()->text(), QStringLiteral("6,000,000,000(円)"));
}

struct ScrollCase
{
    int rows;
    // Row of this account's entry to bring into view, -1 for none, -2 for another account's.
    int selectRow;
    int expected;
};

TEST_F(MainWindowTest, ScrollRuleShowsTheFoundRowOrTheEnd)
{
    createLedger(QStringLiteral("ledger.sqlf"));
    addEntry(9999, "2024-01-01", 2, 1, "2", "NULL", -1, "NULL", "1", "");
    wndKakeibo *w = wndKakeibo::instance();
    const ScrollCase cases[] = {
        {25, -1, 8},  {18, -1, 1}, {17, -1, 0},  {3, -1, 0},
        {40, 30, 13}, {40, 5, 0},  {40, -2, 23}, {40, 17, 0},
    };
    for (const auto &c : cases) {
        exec(QStringLiteral("DELETE FROM Items WHERE SisanNo = 1"));
        for (int i = 0; i < c.rows; ++i) {
            addEntry(
                100 + i,
                QStringLiteral("2024-02-%1").arg(i % 28 + 1, 2, 10, QLatin1Char('0')).toLatin1().constData(),
                1, 1, "2", "NULL", -1, "NULL", "1", "");
        }
        w->lsbItem()->setListIndex(0);
        int selectId = -1;
        if (c.selectRow == -2) {
            selectId = 9999;
        } else if (c.selectRow >= 0) {
            // Dates repeat, so find the row's Id by a first refill.
            ASSERT_TRUE(w->SetlsbItem(-1));
            selectId = w->lsbItem()->cell(c.selectRow, 0).toInt();
        }
        ASSERT_TRUE(w->SetlsbItem(selectId));
        EXPECT_EQ(w->lsbItem()->rowCount(), c.rows);
        EXPECT_EQ(w->lsbItem()->scrollPosition(), c.expected) << c.rows << " rows, row " << c.selectRow;
        EXPECT_EQ(w->lsbItem()->verticalScrollBar()->maximum(), qMax(0, c.rows - 17));
        EXPECT_EQ(w->lsbItem()->listIndex(), -1);
    }
}

TEST_F(MainWindowTest, FailingTotalKeepsTheLabelAndStillSelects)
{
    createLedger(QStringLiteral("ledger.sqlf"));
    exec(QStringLiteral("DROP TABLE Sisan"));
    exec(QStringLiteral(
        "CREATE TABLE Sisan (Id Integer PRIMARY KEY, Namae TEXT NOT NULL, SyokiKingaku Integer NOT "
        "NULL)"));
    exec(QStringLiteral("INSERT INTO Sisan VALUES (1, '現金', 300)"));
    wndKakeibo *w = wndKakeibo::instance();
    EXPECT_EQ(m_ui->messages, QStringList{QStringLiteral("from Method Sum  Zankin: no such column: Zankin")});
    EXPECT_EQ(w->lblStotal()->text(), QStringLiteral("0"));
    EXPECT_EQ(w->lsbSisan()->listIndex(), 0);
    EXPECT_EQ(w->grbKakeibo1()->title(), QStringLiteral("現金"));
    EXPECT_EQ(w->lblItotal()->text(), QStringLiteral("300(円)"));
}

// Every start runs the full refresh, so a ledger without accounts must open without a crash.
TEST_F(MainWindowTest, LedgerWithoutAccountsOpensAndListsNothing)
{
    createLedger(QStringLiteral("ledger.sqlf"));
    addEntry(1, "2024-01-01", 1, 1, "2", "NULL", -1, "NULL", "300", "");
    exec(QStringLiteral("DELETE FROM Sisan"));
    wndKakeibo *w = wndKakeibo::instance();
    EXPECT_TRUE(m_ui->messages.isEmpty());
    EXPECT_EQ(w->lsbSisan()->rowCount(), 0);
    EXPECT_EQ(w->lsbItem()->rowCount(), 0);
    EXPECT_EQ(w->lblItotal()->text(), QStringLiteral("0"));
    EXPECT_EQ(w->lblStotal()->text(), QStringLiteral("0(円)"));
    EXPECT_FALSE(w->accountSelected());
    EXPECT_FALSE(w->SetlsbItem(-1));
    EXPECT_EQ(w->KinyuuStatus, 1);
}

TEST_F(MainWindowTest, LedgerWithoutAccountsBooksNothing)
{
    createLedger(QStringLiteral("ledger.sqlf"));
    exec(QStringLiteral("DELETE FROM Sisan"));
    wndKakeibo *w = wndKakeibo::instance();
    w->grbKakeibo2()->setEnabled(true);
    w->pbtSinki()->click();
    ASSERT_GT(w->ppmHimoku()->rowCount(), 1);
    w->ppmHimoku()->setListIndex(1);
    ASSERT_EQ(w->ppmHimoku()->listIndex(), 1) << "a sub-item row";
    w->tfdKingaku()->setText(QStringLiteral("500"));
    w->pbtNyuryoku()->click();
    // A transfer has no account to leave either (its popup lists none to choose).
    w->rbtIdou()->click();
    w->tfdKingaku()->setText(QStringLiteral("500"));
    w->KinyuuSinkiIdou();
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM Items")), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT COUNT(*) FROM LastItems")), 0);
    // It says so, in its own words: nothing the user chose was changed or deleted.
    EXPECT_EQ(m_ui->messages, (QStringList{QStringLiteral("記入する資産項目がありません。"),
                                           QStringLiteral("記入する資産項目がありません。")}));
    EXPECT_FALSE(KakeiboDB->inTransaction());
}

TEST_F(MainWindowTest, EscapePressesCancelOnlyWhileTheFormIsOpen)
{
    createLedger(QStringLiteral("ledger.sqlf"));
    wndKakeibo *w = wndKakeibo::instance();
    w->grbKakeibo2()->setEnabled(true);
    w->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(w));
    w->tfdKingaku()->setText(QStringLiteral("123"));
    QTest::keyClick(w, Qt::Key_Escape);
    EXPECT_EQ(w->tfdKingaku()->text(), QStringLiteral("123")) << "the form is locked after the refresh";
    w->pbtSinki()->click();
    w->tfdKingaku()->setText(QStringLiteral("123"));
    w->tfdKingaku()->setFocus();
    QTest::keyClick(w->tfdKingaku(), Qt::Key_Escape);
    EXPECT_EQ(w->tfdKingaku()->text(), QString());
    EXPECT_EQ(w->KinyuuStatus, 1);
}

TEST_F(MainWindowTest, MissingTablesAreReportedWithTheirPrefixes)
{
    createLedger(QStringLiteral("ledger.sqlf"));
    exec(QStringLiteral("DROP TABLE Sisan"));
    wndKakeibo *w = wndKakeibo::instance();
    EXPECT_EQ(m_ui->messages, (QStringList{QStringLiteral("from Method SetlsbSisan: no such table: Sisan"),
                                           QStringLiteral("from Method Sum  Zankin: no such table: Sisan")}));
    EXPECT_EQ(w->lsbSisan()->rowCount(), 0);
    EXPECT_TRUE(gDicSisan.isEmpty());
    EXPECT_EQ(w->lsbItem()->rowCount(), 0);
    closeWindow();

    m_ui->messages.clear();
    createLedger(QStringLiteral("other.sqlf"));
    exec(QStringLiteral("DROP TABLE Items"));
    w = wndKakeibo::instance();
    // The full refresh lists the entries twice: once through the account's selection.
    EXPECT_EQ(m_ui->messages, (QStringList{QStringLiteral("from Method SetlsbItem: no such table: Items"),
                                           QStringLiteral("from Method SetlsbItem: no such table: Items")}));
    EXPECT_EQ(w->lsbItem()->rowCount(), 0);
    EXPECT_EQ(w->lblItotal()->text(), QStringLiteral("0"));
    EXPECT_FALSE(w->SetlsbItem(-1));
}

// The full refresh lists the first account's entries once, and leaves what listing them a
// second time (through the selection, then again) leaves: rows, balances, the scroll
// position, no selection, the buttons. A failed first listing is made again, message and all.
TEST_F(MainWindowTest, FullRefreshListsTheEntriesOnceAsTwoListingsWould)
{
    fillRunningBalanceLedger();
    for (int i = 0; i < 30; ++i) {
        addEntry(100 + i, "2024-04-01", 1, 1, "2", "NULL", -1, "NULL", "10", "");
    }
    wndKakeibo *w = wndKakeibo::instance();
    // From the same state each time: another account shown, scrolled elsewhere, Edit enabled.
    const auto elsewhere = [w] {
        w->lsbSisan()->setListIndex(1);
        w->lsbItem()->setScrollPosition(0);
        w->pbtHensyuu()->setEnabled(true);
        w->grbKinyu()->setEnabled(true);
        w->KinyuuStatus = 2;
    };
    elsewhere();
    int reads = itemsReadsDuring([w] {
        GSisanCodeInit = true;
        w->SetlsbSisan();
        w->SetlsbItem(-1);
        w->KinyuuStatus = 1;
        w->SetPpmLsbHimoku();
        w->grbKinyu()->setEnabled(false);
    });
    const QString twice = windowState(w);
    EXPECT_EQ(reads, 2);
    EXPECT_EQ(w->lsbItem()->rowCount(), 35);
    EXPECT_EQ(w->lsbItem()->scrollPosition(), 18);

    elsewhere();
    reads = itemsReadsDuring([w] { w->FullRefresh(); });
    EXPECT_EQ(windowState(w), twice);
    EXPECT_EQ(reads, 1);
    EXPECT_TRUE(m_ui->messages.isEmpty()) << m_ui->messages.join(QLatin1Char('\n')).toStdString();

    exec(QStringLiteral("ALTER TABLE Items RENAME TO Gone"));
    w->FullRefresh();
    EXPECT_EQ(m_ui->messages, (QStringList{QStringLiteral("from Method SetlsbItem: no such table: Items"),
                                           QStringLiteral("from Method SetlsbItem: no such table: Items")}));
}

// Writes the window as a PNG when QUORVELA_SNAPSHOT_DIR names a folder, to look at it.
TEST_F(MainWindowTest, RendersTheFilledWindow)
{
    fillRunningBalanceLedger();
    wndKakeibo *w = wndKakeibo::instance();
    w->grbKakeibo2()->setEnabled(true);
    const QPixmap picture = w->grab();
    EXPECT_FALSE(picture.isNull());
    const QString folder = qEnvironmentVariable("QUORVELA_SNAPSHOT_DIR");
    if (!folder.isEmpty()) {
        picture.save(QDir(folder).filePath(QStringLiteral("wndKakeibo.png")));
    }
}

} // namespace
