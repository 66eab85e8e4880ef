// Two processes of the program on one ledger: the window (or dialog) of one has read the
// ledger and the user has chosen what to act on; the other then changes the ledger through a
// connection of its own, as a second window would (soundly: whole pairs, balances that
// agree). The first one's write must act on nothing that is gone or no longer as shown: it
// writes nothing, says so, and shows the ledger as it now is.

#include "ReliabilityFixture.h"

#include "LedgerInvariants.h"
#include "app/mdlGlobal.h"
#include "ledger/DateListBox.h"
#include "ledger/wndKakeibo.h"
#include "maintenance/dlgHimoku.h"
#include "maintenance/dlgSisan.h"
#include "platform/ListBox.h"
#include "platform/PopupMenu.h"
#include "platform/RadioButton.h"
#include "support/ListRows.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include <functional>
#include <memory>
#include <vector>

namespace {

const QString kChanged = QStringLiteral("選択されたデータは既に変更または削除されています。");

constexpr int32_t kGenkin = 1;
constexpr int32_t kYokin = 2;
constexpr int32_t kShokuzai = 2;  // 食費/食材
constexpr int32_t kAlcohol = 3;   // 食費/アルコール
constexpr int32_t kKyuuryou = 77; // 給料/給料
constexpr int32_t kKouteki = 79;  // 年金/公的年金

// The other program's statements end with every stored balance worked out from the entries.
const QString kSettle = QStringLiteral(
    "UPDATE Sisan SET Zankin = SyokiKingaku + (SELECT IFNULL(SUM(Nyuukin), 0) - IFNULL(SUM(Syukkin), 0) "
    "FROM Items WHERE SisanNo = Sisan.Id)");

// A transfer as the other program books it: the source row, the destination row naming it,
// then the source row naming the destination.
QStringList transfer(int32_t from, int32_t to, int amount)
{
    const QString date = QStringLiteral("'2024-05-01', 2024, 5, 1");
    return {
        QStringLiteral("INSERT INTO Items (Hizuke, Nen, Tuki, Hi, SisanNo, SyubetuNo, IdouSisanNo, IdouId, "
                       "Syukkin, Bikou) VALUES (%1, %2, 3, %3, -1, %4, 'A')")
            .arg(date)
            .arg(from)
            .arg(to)
            .arg(amount),
        QStringLiteral("INSERT INTO Items (Hizuke, Nen, Tuki, Hi, SisanNo, SyubetuNo, IdouSisanNo, IdouId, "
                       "Nyuukin, Bikou) VALUES (%1, %2, 4, %3, (SELECT max(Id) FROM Items), %4, 'A')")
            .arg(date)
            .arg(to)
            .arg(from)
            .arg(amount),
        QStringLiteral("UPDATE Items SET IdouId = (SELECT max(Id) FROM Items) WHERE Id = "
                       "(SELECT max(Id) - 1 FROM Items)")};
}

// An account deleted as the account dialog deletes it: its entries and the other halves of
// its pairs go with it.
QStringList deleteAccount(int32_t id)
{
    return {QStringLiteral("DELETE FROM Items WHERE SisanNo = %1 OR IdouSisanNo = %1").arg(id),
            QStringLiteral("DELETE FROM Sisan WHERE Id = %1").arg(id)};
}

class TwoProgramsTest : public ReliabilityFixture
{
protected:
    void SetUp() override
    {
        ReliabilityFixture::SetUp();
        createLedger(QString::fromLatin1(kFile));
        showMainWindow();
        m_w->DateListBox1()->TheDate().setYMD(2024, 3, 5);
        m_w->DateListBox1()->DisplayDate();
        // An income to start from, so that every account list has something to show.
        enterNew(m_w->rbtSyunyu(), QStringLiteral("給料/給料"), QStringLiteral("5000"),
                 QStringLiteral("pay"));
        ASSERT_TRUE(m_ui->messages.isEmpty()) << lines(m_ui->messages);
    }

    // The other program's change, then what the ledger holds after it.
    void otherProgram(QStringList statements)
    {
        statements << kSettle;
        writeWithSqlite(path(QString::fromLatin1(kFile)), statements);
        m_afterOther = dumpLedger(path(QString::fromLatin1(kFile)));
    }

    void showEntry(int32_t id)
    {
        const int row = rowHolding(*m_w->lsbItem(), 0, id);
        ASSERT_GE(row, 0) << "entry " << id << " is not listed";
        m_w->lsbItem()->setListIndex(row);
    }

    int32_t lastId() { return static_cast<int32_t>(scalar(QStringLiteral("SELECT max(Id) FROM Items"))); }

    // Everything the window shows comes from the ledger as it now is: the accounts, the
    // selected one's entries, the popup's rows.
    void expectWindowShowsTheLedger()
    {
        EXPECT_EQ(m_w->lsbSisan()->rowCount(), scalar(QStringLiteral("SELECT count(*) FROM Sisan")));
        EXPECT_TRUE(m_w->accountSelected());
        EXPECT_EQ(m_w->lsbItem()->rowCount(),
                  scalar(QStringLiteral("SELECT count(*) FROM Items WHERE SisanNo = ") +
                         QString::number(gSisanCode.SisanId)));
        // The popup lists the accounts, or the categories and sub-items of its kind.
        const bool accounts = m_w->rbtIdou()->value();
        const QString table = accounts ? QStringLiteral("Sisan") : QStringLiteral("Himoku");
        EXPECT_EQ(m_w->ppmHimoku()->rowCount(),
                  scalar(QStringLiteral("SELECT count(*) FROM ") + table +
                         (accounts ? QString() : QStringLiteral(" WHERE SyubetuNo = %1").arg(gSyubetuNo))));
        for (int row = 0; row < m_w->ppmHimoku()->rowCount(); ++row) {
            EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM ") + table +
                             QStringLiteral(" WHERE Id = ") + m_w->ppmHimoku()->itemData(row).toString()),
                      1)
                << m_w->ppmHimoku()->itemText(row).toStdString();
        }
    }

    static constexpr const char *kFile = "two.sqlf";
    QString m_afterOther;
};

class ChangedChoiceTest;
struct ChangedCase;
void PrintTo(const ChangedCase &c, std::ostream *os);

// One write site: what the user chooses, what the other program does meanwhile, the press
// that writes, and a look at what the window or dialog shows afterwards.
struct ChangedCase
{
    const char *what;
    std::function<void(ChangedChoiceTest &)> choose;
    std::function<QStringList(ChangedChoiceTest &)> other;
    std::function<void(ChangedChoiceTest &)> write;
    std::function<void(ChangedChoiceTest &)> shown;
};

void PrintTo(const ChangedCase &c, std::ostream *os)
{
    *os << c.what;
}

class ChangedChoiceTest : public TwoProgramsTest, public ::testing::WithParamInterface<ChangedCase>
{
public:
    wndKakeibo *window() { return m_w; }
    ScriptedUi *ui() { return m_ui; }
    using LedgerTestFixture::path;
    using TwoProgramsTest::enterNew;
    using TwoProgramsTest::expectWindowShowsTheLedger;
    using TwoProgramsTest::lastId;
    using TwoProgramsTest::showEntry;
    static constexpr const char *kFile = TwoProgramsTest::kFile;

    // The maintenance dialogs, open from the user's choice to the write.
    std::unique_ptr<dlgSisan> accounts;
    std::unique_ptr<dlgHimoku> categories;

protected:
    // The user's choice, the other program's change, the write: refused with the message,
    // nothing written, no transaction left open.
    void writeRefused()
    {
        GetParam().choose(*this);
        ASSERT_TRUE(m_ui->messages.isEmpty()) << lines(m_ui->messages);
        otherProgram(GetParam().other(*this));
        GetParam().write(*this);
        EXPECT_EQ(m_ui->messages, QStringList{kChanged}) << lines(m_ui->messages);
        EXPECT_EQ(dumpLedger(path(QString::fromLatin1(kFile))), m_afterOther) << "nothing written";
        EXPECT_FALSE(KakeiboDB->inTransaction());
    }
};

TEST_P(ChangedChoiceTest, WritesNothingSaysSoAndShowsTheLedgerAgain)
{
    writeRefused();
    expectSound(QString::fromLatin1(kFile));
    GetParam().shown(*this);
    accounts.reset();
    categories.reset();
}

// After a refused action the window shows the ledger, its form back to "入力".
void windowShowsTheLedger(ChangedChoiceTest &t)
{
    t.expectWindowShowsTheLedger();
    EXPECT_EQ(t.window()->pbtNyuryoku()->text(), QStringLiteral("入力"));
}

// The user's steps on the window.
void bookExpense(ChangedChoiceTest &t)
{
    t.enterNew(t.window()->rbtSisyutu(), QStringLiteral("食費/食材"), QStringLiteral("300"),
               QStringLiteral("e"));
}

void bookTransfer(ChangedChoiceTest &t)
{
    t.enterNew(t.window()->rbtIdou(), QStringLiteral("預金"), QStringLiteral("1000"), QStringLiteral("t"));
}

// Edit or Delete pressed on the entry shown, and for an edit the new amount typed.
void pressFor(ChangedChoiceTest &t, QPushButton *button, const QString &amount)
{
    button->click();
    if (!amount.isEmpty()) {
        t.window()->tfdKingaku()->setText(amount);
    }
}

// The newest entry, an expense booked just now, chosen and Edit (a new amount typed) or
// Delete pressed.
void editTheExpense(ChangedChoiceTest &t)
{
    bookExpense(t);
    t.showEntry(t.lastId());
    pressFor(t, t.window()->pbtHensyuu(), QStringLiteral("350"));
}

void deleteTheExpense(ChangedChoiceTest &t)
{
    bookExpense(t);
    t.showEntry(t.lastId());
    pressFor(t, t.window()->pbtSakujyo(), QString());
}

// New, the kind, the popup row, the amount: everything but Input.
void startNew(ChangedChoiceTest &t, RadioButton *kind, const QString &choice)
{
    wndKakeibo *w = t.window();
    w->pbtSinki()->click();
    kind->click();
    w->ppmHimoku()->setListIndex(w->ppmHimoku()->findText(choice));
    w->tfdKingaku()->setText(QStringLiteral("10"));
}

void input(ChangedChoiceTest &t)
{
    t.window()->pbtNyuryoku()->click();
}

void confirmedInput(ChangedChoiceTest &t)
{
    t.ui()->confirmAnswers.push_back(true);
    t.window()->pbtNyuryoku()->click();
}

// The entry shown is deleted and its Id given to the source row of a new transfer.
QStringList reuseTheEntrysId(ChangedChoiceTest &t)
{
    QStringList statements{QStringLiteral("DELETE FROM Items WHERE Id = %1").arg(t.lastId())};
    return statements + transfer(kGenkin, kYokin, 700);
}

// The pair shown is deleted and both its Ids given to a pair the other way round.
QStringList reuseThePairsIds(ChangedChoiceTest &)
{
    QStringList statements{QStringLiteral("DELETE FROM Items WHERE SyubetuNo IN (3, 4)")};
    return statements + transfer(kYokin, kGenkin, 700);
}

QStringList mergeAway(int32_t source, int32_t target)
{
    return {QStringLiteral("UPDATE Items SET HimokuNo = %1 WHERE HimokuNo = %2").arg(target).arg(source),
            QStringLiteral("DELETE FROM Himoku WHERE Id = %1").arg(source)};
}

INSTANTIATE_TEST_SUITE_P(
    EveryWriteSite, ChangedChoiceTest,
    ::testing::Values(
        ChangedCase{"EntryEdit", editTheExpense, reuseTheEntrysId, input, windowShowsTheLedger},
        ChangedCase{"EntryDelete", deleteTheExpense, reuseTheEntrysId, confirmedInput, windowShowsTheLedger},
        ChangedCase{"PairEdit",
                    [](ChangedChoiceTest &t) {
                        bookTransfer(t);
                        t.showEntry(t.lastId() - 1);
                        pressFor(t, t.window()->pbtHensyuu(), QStringLiteral("1200"));
                    },
                    reuseThePairsIds, confirmedInput, windowShowsTheLedger},
        ChangedCase{"PairDelete",
                    [](ChangedChoiceTest &t) {
                        bookTransfer(t);
                        t.showEntry(t.lastId() - 1);
                        pressFor(t, t.window()->pbtSakujyo(), QString());
                    },
                    reuseThePairsIds, confirmedInput, windowShowsTheLedger},
        ChangedCase{
            "NewExpenseToADeletedSubItem",
            [](ChangedChoiceTest &t) { startNew(t, t.window()->rbtSisyutu(), QStringLiteral("食費/食材")); },
            [](ChangedChoiceTest &) {
                return QStringList{QStringLiteral("DELETE FROM Himoku WHERE Id = %1").arg(kShokuzai)};
            },
            input, windowShowsTheLedger},
        ChangedCase{"NewExpenseInADeletedAccount",
                    [](ChangedChoiceTest &t) {
                        t.window()->lsbSisan()->setListIndex(1);
                        startNew(t, t.window()->rbtSisyutu(), QStringLiteral("食費/食材"));
                    },
                    [](ChangedChoiceTest &) { return deleteAccount(kYokin); }, input,
                    [](ChangedChoiceTest &t) {
                        // The account is gone: the first one is selected, as at the start.
                        t.expectWindowShowsTheLedger();
                        EXPECT_EQ(gSisanCode.SisanRow, 0);
                        EXPECT_EQ(gSisanCode.SisanId, kGenkin);
                        EXPECT_EQ(t.window()->lsbSisan()->listIndex(), 0);
                        EXPECT_EQ(t.window()->grbKakeibo1()->title(), QStringLiteral("現金"));
                    }},
        ChangedCase{
            "NewIncomeToAMergedAwaySubItem",
            [](ChangedChoiceTest &t) { startNew(t, t.window()->rbtSyunyu(), QStringLiteral("給料/給料")); },
            [](ChangedChoiceTest &) { return mergeAway(kKyuuryou, kKouteki); }, input, windowShowsTheLedger},
        ChangedCase{"NewTransferToADeletedAccount",
                    [](ChangedChoiceTest &t) { startNew(t, t.window()->rbtIdou(), QStringLiteral("預金")); },
                    [](ChangedChoiceTest &) { return deleteAccount(kYokin); }, input, windowShowsTheLedger},
        ChangedCase{"AccountDelete",
                    [](ChangedChoiceTest &t) {
                        t.accounts = std::make_unique<dlgSisan>();
                        t.accounts->lsbSisan_CellClick(1, 0);
                        press(*t.accounts, "pbtSisanSakujyo");
                    },
                    [](ChangedChoiceTest &) { return deleteAccount(kYokin); },
                    [](ChangedChoiceTest &t) {
                        t.ui()->confirmAnswers.push_back(true);
                        press(*t.accounts, "pbtSisanKoumokuKanryou");
                    },
                    [](ChangedChoiceTest &t) {
                        EXPECT_TRUE(child<QGroupBox>(*t.accounts, "grbSisanKoumoku")->isHidden());
                        EXPECT_EQ(child<ListBox>(*t.accounts, "lsbSisan")->rowCount(), 1);
                        EXPECT_EQ(gDicSisan.keys(), (std::vector<int32_t>{kGenkin}));
                    }},
        ChangedCase{"SubItemMerge",
                    [](ChangedChoiceTest &t) {
                        t.enterNew(t.window()->rbtSisyutu(), QStringLiteral("食費/アルコール"),
                                   QStringLiteral("40"), QString());
                        t.categories = std::make_unique<dlgHimoku>();
                        t.categories->lsbHimoku_CellClick(categoryRow(*t.categories, kAlcohol), 0);
                        press(*t.categories, "pbtUtiwakeTougou");
                        auto *target = child<PopupMenu>(*t.categories, "ppmUtiwakeTougouSaki");
                        target->setListIndex(target->findText(QStringLiteral("食費/食材")));
                    },
                    // The target is merged away, into the very sub-item to be merged.
                    [](ChangedChoiceTest &) { return mergeAway(kShokuzai, kAlcohol); },
                    [](ChangedChoiceTest &t) {
                        t.ui()->confirmAnswers.push_back(true);
                        press(*t.categories, "pbtKoumokuKanryou");
                    },
                    [](ChangedChoiceTest &t) {
                        EXPECT_EQ(categoryRow(*t.categories, kShokuzai), -1);
                        EXPECT_FALSE(gDicSisyutu.contains(kShokuzai));
                        EXPECT_EQ(t.categories->HimokuKanriSybetu, 0);
                    }}),
    [](const ::testing::TestParamInfo<ChangedCase> &info) { return std::string(info.param.what); });

// The row the user chose is deleted and a new one takes its Id at once (SQLite gives the
// largest Id plus one), of the same kind, in the same account, linked the same way: only
// the values the user saw tell it from the row chosen.
QStringList anExpenseTakesTheEntrysId(ChangedChoiceTest &t)
{
    return {QStringLiteral("DELETE FROM Items WHERE Id = %1").arg(t.lastId()),
            QStringLiteral("INSERT INTO Items (Hizuke, Nen, Tuki, Hi, SisanNo, SyubetuNo, HimokuNo, IdouId, "
                           "Syukkin, Bikou) VALUES ('2024-03-05', 2024, 3, 5, %1, 1, %2, -1, 999, 'other')")
                .arg(kGenkin)
                .arg(kShokuzai)};
}

QStringList aPairTakesThePairsIds(ChangedChoiceTest &)
{
    QStringList statements{QStringLiteral("DELETE FROM Items WHERE SyubetuNo IN (3, 4)")};
    return statements + transfer(kGenkin, kYokin, 700);
}

// The account deleted with its entries, and a new one made, which takes its Id.
QStringList anAccountTakesYokinsId(ChangedChoiceTest &)
{
    return deleteAccount(kYokin) +
           QStringList{
               QStringLiteral("INSERT INTO Sisan (Namae, SyokiKingaku, Zankin) VALUES ('貯金', 0, 0)")};
}

void choosePairRow(ChangedChoiceTest &t, bool destination, QPushButton *(wndKakeibo::*button)() const,
                   const QString &amount)
{
    bookTransfer(t);
    if (destination) {
        t.window()->lsbSisan()->setListIndex(1);
    }
    t.showEntry(destination ? t.lastId() : t.lastId() - 1);
    pressFor(t, (t.window()->*button)(), amount);
}

INSTANTIATE_TEST_SUITE_P(
    ARowThatTookTheFreedId, ChangedChoiceTest,
    ::testing::Values(
        ChangedCase{"EntryEdit", editTheExpense, anExpenseTakesTheEntrysId, input, windowShowsTheLedger},
        ChangedCase{"EntryDelete", deleteTheExpense, anExpenseTakesTheEntrysId, confirmedInput,
                    windowShowsTheLedger},
        ChangedCase{"PairEditFromTheSourceRow",
                    [](ChangedChoiceTest &t) {
                        choosePairRow(t, false, &wndKakeibo::pbtHensyuu, QStringLiteral("1200"));
                    },
                    aPairTakesThePairsIds, confirmedInput, windowShowsTheLedger},
        ChangedCase{"PairEditFromTheDestinationRow",
                    [](ChangedChoiceTest &t) {
                        choosePairRow(t, true, &wndKakeibo::pbtHensyuu, QStringLiteral("1200"));
                    },
                    aPairTakesThePairsIds, confirmedInput, windowShowsTheLedger},
        ChangedCase{"PairDeleteFromTheSourceRow",
                    [](ChangedChoiceTest &t) { choosePairRow(t, false, &wndKakeibo::pbtSakujyo, QString()); },
                    aPairTakesThePairsIds, confirmedInput, windowShowsTheLedger},
        ChangedCase{"PairDeleteFromTheDestinationRow",
                    [](ChangedChoiceTest &t) { choosePairRow(t, true, &wndKakeibo::pbtSakujyo, QString()); },
                    aPairTakesThePairsIds, confirmedInput, windowShowsTheLedger},
        ChangedCase{
            "NewExpenseToASubItemThatTookItsId",
            [](ChangedChoiceTest &t) { startNew(t, t.window()->rbtSisyutu(), QStringLiteral("食費/食材")); },
            [](ChangedChoiceTest &) {
                return QStringList{
                    QStringLiteral("DELETE FROM Himoku WHERE Id = %1").arg(kShokuzai),
                    QStringLiteral("INSERT INTO Himoku VALUES (%1, 1, '食費/外食', 1, 0)").arg(kShokuzai)};
            },
            input, windowShowsTheLedger},
        ChangedCase{"NewIncomeToASubItemThatTookItsId",
                    [](ChangedChoiceTest &t) {
                        startNew(t, t.window()->rbtSyunyu(), QStringLiteral("その他/その他"));
                    },
                    [](ChangedChoiceTest &) {
                        return QStringList{
                            QStringLiteral("DELETE FROM Himoku WHERE Id = 90"),
                            QStringLiteral("INSERT INTO Himoku VALUES (90, 2, 'その他/売却', 87, 0)")};
                    },
                    input, windowShowsTheLedger},
        ChangedCase{"NewExpenseInAnAccountThatTookItsId",
                    [](ChangedChoiceTest &t) {
                        t.window()->lsbSisan()->setListIndex(1);
                        startNew(t, t.window()->rbtSisyutu(), QStringLiteral("食費/食材"));
                    },
                    anAccountTakesYokinsId, input,
                    [](ChangedChoiceTest &t) {
                        windowShowsTheLedger(t);
                        EXPECT_EQ(t.window()->lsbSisan()->cell(gSisanCode.SisanRow, 1),
                                  QStringLiteral("貯金"));
                    }},
        // A broken pair (the source row never named its partner) is changed on the chosen row
        // alone; when the other program makes it whole meanwhile, that is no longer right.
        ChangedCase{
            "BrokenPairMadeWholeMeanwhile",
            [](ChangedChoiceTest &t) {
                bookTransfer(t);
                writeWithSqlite(
                    t.path(QString::fromLatin1(ChangedChoiceTest::kFile)),
                    {QStringLiteral("UPDATE Items SET IdouId = -1 WHERE Id = %1").arg(t.lastId() - 1)});
                t.window()->lsbSisan()->setListIndex(1);
                t.showEntry(t.lastId());
                pressFor(t, t.window()->pbtHensyuu(), QStringLiteral("1200"));
            },
            [](ChangedChoiceTest &t) {
                return QStringList{QStringLiteral("UPDATE Items SET IdouId = %1 WHERE Id = %2")
                                       .arg(t.lastId())
                                       .arg(t.lastId() - 1)};
            },
            confirmedInput, windowShowsTheLedger},
        ChangedCase{"NewTransferToAnAccountThatTookItsId",
                    [](ChangedChoiceTest &t) { startNew(t, t.window()->rbtIdou(), QStringLiteral("預金")); },
                    anAccountTakesYokinsId, input, windowShowsTheLedger}),
    [](const ::testing::TestParamInfo<ChangedCase> &info) { return std::string(info.param.what); });

// Any one value the window showed of a row, changed by the other program: a write that rests
// on the row is refused, whichever value it was. (These changes need not leave the ledger
// sound, so only what the write did is checked here.)
class ShownValueTest : public ChangedChoiceTest
{
};

TEST_P(ShownValueTest, AChangeOfAnyValueShownRefusesTheWrite)
{
    writeRefused();
    GetParam().shown(*this);
}

// One statement of the other program on the newest entry, an account or a sub-item.
std::function<QStringList(ChangedChoiceTest &)> sets(const char *table, const char *assignment,
                                                     const char *where = "Id = (SELECT max(Id) FROM Items)")
{
    return [=](ChangedChoiceTest &) {
        return QStringList{
            QStringLiteral("UPDATE %1 SET %2 WHERE %3")
                .arg(QLatin1String(table), QString::fromUtf8(assignment), QLatin1String(where))};
    };
}

void editThePairFromItsSource(ChangedChoiceTest &t)
{
    choosePairRow(t, false, &wndKakeibo::pbtHensyuu, QStringLiteral("1200"));
}

ChangedCase shownValue(const char *what, void (*choose)(ChangedChoiceTest &),
                       std::function<QStringList(ChangedChoiceTest &)> other,
                       void (*write)(ChangedChoiceTest &) = input)
{
    return ChangedCase{what, choose, std::move(other), write, windowShowsTheLedger};
}

void newExpense(ChangedChoiceTest &t)
{
    startNew(t, t.window()->rbtSisyutu(), QStringLiteral("食費/食材"));
}

void newTransfer(ChangedChoiceTest &t)
{
    startNew(t, t.window()->rbtIdou(), QStringLiteral("預金"));
}

INSTANTIATE_TEST_SUITE_P(
    EveryValue, ShownValueTest,
    ::testing::Values(
        // The entry chosen, each of its columns.
        shownValue("EntryDate", editTheExpense, sets("Items", "Hizuke = '2024-03-06'")),
        shownValue("EntryYear", editTheExpense, sets("Items", "Nen = 2023")),
        shownValue("EntryMonth", editTheExpense, sets("Items", "Tuki = 4")),
        shownValue("EntryDay", editTheExpense, sets("Items", "Hi = 6")),
        shownValue("EntryAccount", editTheExpense, sets("Items", "SisanNo = 2")),
        shownValue("EntryKind", editTheExpense, sets("Items", "SyubetuNo = 2")),
        shownValue("EntrySubItem", editTheExpense, sets("Items", "HimokuNo = 3")),
        shownValue("EntryPartnerAccount", editTheExpense, sets("Items", "IdouSisanNo = 2")),
        shownValue("EntryPartnerRow", editTheExpense, sets("Items", "IdouId = 5")),
        shownValue("EntryReceived", editTheExpense, sets("Items", "Nyuukin = 1")),
        shownValue("EntryPaid", editTheExpense, sets("Items", "Syukkin = 301")),
        shownValue("EntryMemo", editTheExpense, sets("Items", "Bikou = 'e '")),
        // The account it is booked to, and the sub-item chosen for it.
        shownValue("AccountName", editTheExpense, sets("Sisan", "Namae = '現金 '", "Id = 1")),
        shownValue("AccountOpeningAmount", editTheExpense, sets("Sisan", "SyokiKingaku = 100", "Id = 1")),
        shownValue("SubItemName", editTheExpense, sets("Himoku", "Namae = '食費/食材 '", "Id = 2")),
        shownValue("SubItemKind", editTheExpense, sets("Himoku", "SyubetuNo = 2", "Id = 2")),
        shownValue("SubItemMadeACategory", editTheExpense, sets("Himoku", "Ucount = 1", "Id = 2")),
        // The sub-item a deleted entry was shown with.
        shownValue("DeletedEntrysSubItemName", deleteTheExpense, sets("Himoku", "Namae = '食材'", "Id = 2"),
                   confirmedInput),
        // The other row of a pair, and the account it lies in.
        shownValue("PartnerDate", editThePairFromItsSource, sets("Items", "Hizuke = '2024-03-06'"),
                   confirmedInput),
        shownValue("PartnerAmount", editThePairFromItsSource, sets("Items", "Nyuukin = 1001"),
                   confirmedInput),
        shownValue("PartnerMemo", editThePairFromItsSource, sets("Items", "Bikou = 'u'"), confirmedInput),
        shownValue("PartnerLink", editThePairFromItsSource, sets("Items", "IdouId = -1"), confirmedInput),
        shownValue("PartnerAccountName", editThePairFromItsSource, sets("Sisan", "Namae = '貯金'", "Id = 2"),
                   confirmedInput),
        // A new entry's account, sub-item and transfer partner.
        shownValue("NewEntrysAccountOpeningAmount", newExpense, sets("Sisan", "SyokiKingaku = -5", "Id = 1")),
        shownValue("NewEntrysSubItemName", newExpense, sets("Himoku", "Namae = '食材'", "Id = 2")),
        shownValue("NewTransfersPartnerName", newTransfer, sets("Sisan", "Namae = '貯金'", "Id = 2"))),
    [](const ::testing::TestParamInfo<ChangedCase> &info) { return std::string(info.param.what); });

// The other program deletes the account listed above the selected one: every row below moves
// up. The window still books to, lists and totals the account it shows.
TEST_F(TwoProgramsTest, TheSelectedAccountIsFoundAgainByItsIdAfterAnotherProgramDeletesOne)
{
    writeWithSqlite(path(QString::fromLatin1(kFile)),
                    {QStringLiteral("INSERT INTO Sisan VALUES (3, '財布', 100, 100)")});
    GSisanCodeInit = true;
    m_w->SetlsbSisan();
    m_w->lsbSisan()->setListIndex(2);
    ASSERT_EQ(gSisanCode.SisanId, 3);
    otherProgram(deleteAccount(kYokin));

    for (const char *amount : {"10", "20"}) {
        enterNew(m_w->rbtSisyutu(), QStringLiteral("食費/食材"), QString::fromLatin1(amount), QString());
    }
    EXPECT_TRUE(m_ui->messages.isEmpty()) << lines(m_ui->messages);
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM Items WHERE SisanNo = 3")), 2);
    EXPECT_EQ(gSisanCode.SisanRow, 1);
    EXPECT_EQ(m_w->lsbItem()->rowCount(), 2);
    EXPECT_EQ(m_w->lblItotal()->text(), QStringLiteral("70(円)"));

    // A delete lists what is left, not an empty list with the total "0".
    showEntry(lastId());
    m_w->pbtSakujyo()->click();
    m_ui->confirmAnswers.push_back(true);
    m_w->pbtNyuryoku()->click();
    EXPECT_TRUE(m_ui->messages.isEmpty()) << lines(m_ui->messages);
    EXPECT_EQ(m_w->lsbItem()->rowCount(), 1);
    EXPECT_EQ(m_w->lblItotal()->text(), QStringLiteral("90(円)"));
    expectSound(QString::fromLatin1(kFile));
    expectWindowShowsTheLedger();
}

// The other program deletes the entry the user then clicks. The click says so, and the lists
// and lookup tables show the ledger again: the gone entry is no longer listed, so no row is
// left that a second click could not show.
TEST_F(TwoProgramsTest, AnEntryGoneWhenClickedIsSaidAndTheListsShowTheLedgerAgain)
{
    enterNew(m_w->rbtSisyutu(), QStringLiteral("食費/食材"), QStringLiteral("10"), QStringLiteral("a"));
    enterNew(m_w->rbtSisyutu(), QStringLiteral("食費/食材"), QStringLiteral("20"), QStringLiteral("b"));
    const int32_t gone = lastId();
    otherProgram({QStringLiteral("DELETE FROM Items WHERE Id = %1").arg(gone),
                  QStringLiteral("INSERT INTO Sisan (Namae, SyokiKingaku, Zankin) VALUES ('財布', 0, 0)"),
                  QStringLiteral("UPDATE Himoku SET Namae = '食費/野菜' WHERE Id = %1").arg(kShokuzai)});
    showEntry(gone);
    EXPECT_EQ(m_ui->messages, QStringList{QStringLiteral("from lsbItem Change event : ") + kChanged})
        << lines(m_ui->messages);
    EXPECT_EQ(rowHolding(*m_w->lsbItem(), 0, gone), -1);
    EXPECT_FALSE(m_w->pbtHensyuu()->isEnabled());
    EXPECT_FALSE(m_w->pbtSakujyo()->isEnabled());
    expectWindowShowsTheLedger();
    EXPECT_EQ(gDicSisan.value(3), QStringLiteral("財布"));
    EXPECT_EQ(gDicSisyutu.value(kShokuzai), QStringLiteral("食費/野菜"));
    EXPECT_EQ(dumpLedger(path(QString::fromLatin1(kFile))), m_afterOther);

    // The entries still there show as before.
    m_ui->messages.clear();
    showEntry(gone - 1);
    EXPECT_TRUE(m_ui->messages.isEmpty()) << lines(m_ui->messages);
    EXPECT_EQ(m_w->tfdKingaku()->text(), QStringLiteral("10"));
    EXPECT_TRUE(m_w->pbtHensyuu()->isEnabled());
    EXPECT_FALSE(KakeiboDB->inTransaction());
}

// A refill of the account list that cannot read it (the ledger was locked or changed under
// the read for a moment) lists nothing but forgets nothing: the next one selects the account
// that was selected, and Input, pressed meanwhile, claims no change.
TEST_F(TwoProgramsTest, AFailedReadOfTheAccountListKeepsTheSelectedAccount)
{
    writeWithSqlite(path(QString::fromLatin1(kFile)),
                    {QStringLiteral("INSERT INTO Sisan VALUES (3, '財布', 100, 100)")});
    m_w->SetlsbSisan();
    m_w->lsbSisan()->setListIndex(2);
    ASSERT_EQ(gSisanCode.SisanId, 3);
    m_w->pbtSinki()->click();
    m_w->ppmHimoku()->setListIndex(m_w->ppmHimoku()->findText(QStringLiteral("食費/食材")));

    writeWithSqlite(path(QString::fromLatin1(kFile)), {QStringLiteral("ALTER TABLE Sisan RENAME TO Away")});
    m_w->SetlsbSisan();
    EXPECT_EQ(m_w->lsbSisan()->rowCount(), 0);
    EXPECT_EQ(m_ui->messages, (QStringList{QStringLiteral("from Method SetlsbSisan: no such table: Sisan"),
                                           QStringLiteral("from Method Sum  Zankin: no such table: Sisan")}));
    m_ui->messages.clear();
    writeWithSqlite(path(QString::fromLatin1(kFile)), {QStringLiteral("ALTER TABLE Away RENAME TO Sisan")});

    // Input finds no account listed: it books nothing, says nothing of a change, and shows
    // the ledger again, the account selected as before.
    const QString before = dumpLedger(path(QString::fromLatin1(kFile)));
    m_w->tfdKingaku()->setText(QStringLiteral("30"));
    m_w->pbtNyuryoku()->click();
    EXPECT_TRUE(m_ui->messages.isEmpty()) << lines(m_ui->messages);
    EXPECT_EQ(dumpLedger(path(QString::fromLatin1(kFile))), before);
    EXPECT_EQ(gSisanCode.SisanId, 3);
    EXPECT_EQ(gSisanCode.SisanRow, 2);
    EXPECT_EQ(m_w->grbKakeibo1()->title(), QStringLiteral("財布"));
    EXPECT_TRUE(m_w->accountSelected());

    // The next Input books to it.
    m_w->ppmHimoku()->setListIndex(m_w->ppmHimoku()->findText(QStringLiteral("食費/食材")));
    m_w->tfdKingaku()->setText(QStringLiteral("30"));
    m_w->pbtNyuryoku()->click();
    EXPECT_TRUE(m_ui->messages.isEmpty()) << lines(m_ui->messages);
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM Items WHERE SisanNo = 3")), 1);
    EXPECT_EQ(m_w->lblItotal()->text(), QStringLiteral("70(円)"));
    expectSound(QString::fromLatin1(kFile));
    expectWindowShowsTheLedger();
}

} // namespace
