// Two processes of the program on one ledger, the account or category dialog open in one: the
// user has chosen a row and opened the panel; the other process then deletes that row and makes
// another that takes its Id (SQLite gives a new row the largest Id plus one), soundly, through a
// connection of its own. Done must act on nothing but the row the user saw: it writes nothing,
// says so, and lists the ledger as it now is. Where the other process changed nothing the
// dialog shows, Done goes through, also on a ledger whose columns hold text.

#include "ReliabilityFixture.h"

#include "LedgerInvariants.h"
#include "app/ShownRows.h"
#include "app/mdlGlobal.h"
#include "maintenance/dlgHimoku.h"
#include "maintenance/dlgSisan.h"
#include "platform/ListBox.h"
#include "platform/PopupMenu.h"

#include <QGroupBox>
#include <QLineEdit>

#include <functional>
#include <memory>
#include <ostream>
#include <vector>

namespace {

constexpr int32_t kWallet = 3;   // 財布, the newest account
constexpr int32_t kHobby = 91;   // 趣味, the newest category
constexpr int32_t kBooks = 92;   // 趣味/本
constexpr int32_t kFilms = 93;   // 趣味/映画, the newest sub-item
constexpr int32_t kShokuzai = 2; // 食費/食材

// The other process's statements end with every stored balance worked out from the entries.
const QString kSettle = QStringLiteral(
    "UPDATE Sisan SET Zankin = SyokiKingaku + (SELECT IFNULL(SUM(Nyuukin), 0) - IFNULL(SUM(Syukkin), 0) "
    "FROM Items WHERE SisanNo = Sisan.Id)");

QString expense(int32_t account, int32_t subItem, int amount)
{
    return QStringLiteral("INSERT INTO Items (Hizuke, Nen, Tuki, Hi, SisanNo, SyubetuNo, HimokuNo, IdouId, "
                          "Syukkin, Bikou) VALUES ('2024-06-01', 2024, 6, 1, %1, 1, %2, -1, %3, 'other')")
        .arg(account)
        .arg(subItem)
        .arg(amount);
}

// The newest account deleted as the account dialog deletes it, and a new one (which takes the
// freed Id) with an entry booked to it.
QStringList replaceTheWallet(const char *name, int opening)
{
    return {QStringLiteral("DELETE FROM Items WHERE SisanNo = %1 OR IdouSisanNo = %1").arg(kWallet),
            QStringLiteral("DELETE FROM Sisan WHERE Id = %1").arg(kWallet),
            QStringLiteral("INSERT INTO Sisan (Namae, SyokiKingaku, Zankin) VALUES ('%1', %2, 0)")
                .arg(QString::fromUtf8(name))
                .arg(opening),
            expense(kWallet, kShokuzai, 80)};
}

// The newest category deleted with its sub-items and their entries, and a new one of the same
// kind made as the category dialog makes one: it takes the freed Id.
QStringList replaceTheHobbyCategory(const char *name)
{
    const QString category = QString::fromUtf8(name);
    return {QStringLiteral("DELETE FROM Items WHERE HimokuNo IN (SELECT Id FROM Himoku WHERE Hno = %1)")
                .arg(kHobby),
            QStringLiteral("DELETE FROM Himoku WHERE Hno = %1 OR Id = %1").arg(kHobby),
            QStringLiteral("INSERT INTO Himoku (SyubetuNo, Namae, Hno, Ucount) VALUES (1, '%1', 0, 1)")
                .arg(category),
            QStringLiteral("UPDATE Himoku SET Hno = Id WHERE Id = (SELECT max(Id) FROM Himoku)"),
            QStringLiteral("INSERT INTO Himoku (SyubetuNo, Namae, Hno, Ucount) VALUES (1, '%1/%1', "
                           "(SELECT max(Id) FROM Himoku), 0)")
                .arg(category),
            expense(1, kHobby + 1, 60)};
}

// The newest sub-item deleted with its entries, and a new row that takes its Id, with an entry
// booked to it when it is a sub-item of expenses.
QStringList replaceTheFilms(int kind, int32_t category, const char *name, int ucount)
{
    QStringList statements{
        QStringLiteral("DELETE FROM Items WHERE HimokuNo = %1").arg(kFilms),
        QStringLiteral("DELETE FROM Himoku WHERE Id = %1").arg(kFilms),
        QStringLiteral("INSERT INTO Himoku (SyubetuNo, Namae, Hno, Ucount) VALUES (%1, '%2', %3, %4)")
            .arg(kind)
            .arg(QString::fromUtf8(name))
            .arg(category)
            .arg(ucount)};
    if (kind == 1 && ucount == 0) {
        statements << expense(1, kFilms, 70);
    }
    return statements;
}

class TwoProgramsMaintenanceTest : public ReliabilityFixture
{
public:
    // The account dialog open, the account's row clicked and the mode button pressed.
    void chooseAccount(int32_t id, const char *button)
    {
        accounts = std::make_unique<dlgSisan>();
        auto *list = child<ListBox>(*accounts, "lsbSisan");
        int row = 0;
        while (row < list->rowCount() && list->cell(row, 0) != QString::number(id)) {
            ++row;
        }
        ASSERT_LT(row, list->rowCount()) << "account " << id << " is not listed";
        accounts->lsbSisan_CellClick(row, 0);
        press(*accounts, button);
    }

    void typeAccount(const char *name, const char *amount)
    {
        child<QLineEdit>(*accounts, "tfdSisankoumokuNamae")->setText(QString::fromUtf8(name));
        child<QLineEdit>(*accounts, "tfdSisankoumokuSyokikingaku")->setText(QString::fromLatin1(amount));
    }

    void accountDone(bool confirm)
    {
        if (confirm) {
            m_ui->confirmAnswers.push_back(true);
        }
        press(*accounts, "pbtSisanKoumokuKanryou");
    }

    // The category dialog open, the item's row clicked and the mode button pressed.
    void chooseItem(int32_t id, const char *button)
    {
        categories = std::make_unique<dlgHimoku>();
        const int row = categoryRow(*categories, id);
        ASSERT_GE(row, 0) << "item " << id << " is not listed";
        categories->lsbHimoku_CellClick(row, 0);
        press(*categories, button);
    }

    void typeItem(const char *field, const char *name)
    {
        child<QLineEdit>(*categories, field)->setText(QString::fromUtf8(name));
    }

    void chooseMergeTarget(const char *name)
    {
        auto *target = child<PopupMenu>(*categories, "ppmUtiwakeTougouSaki");
        target->setListIndex(target->findText(QString::fromUtf8(name)));
        ASSERT_GE(target->listIndex(), 0) << name;
    }

    void categoryDone(bool confirm)
    {
        if (confirm) {
            m_ui->confirmAnswers.push_back(true);
        }
        press(*categories, "pbtKoumokuKanryou");
    }

    // After the refusal the open dialog lists the ledger as the other process left it, its
    // panel closed.
    void expectDialogShowsTheLedger()
    {
        if (accounts) {
            EXPECT_TRUE(child<QGroupBox>(*accounts, "grbSisanKoumoku")->isHidden());
            const auto *list = child<ListBox>(*accounts, "lsbSisan");
            EXPECT_EQ(list->rowCount(), scalar(QStringLiteral("SELECT count(*) FROM Sisan")));
            for (int row = 0; row < list->rowCount(); ++row) {
                const int32_t id = list->cell(row, 0).toInt();
                EXPECT_EQ(list->cell(row, 1), storedName(QStringLiteral("Sisan"), id)) << id;
                EXPECT_EQ(gDicSisan.value(id), storedName(QStringLiteral("Sisan"), id)) << id;
            }
        }
        if (categories) {
            EXPECT_EQ(categories->HimokuKanriSybetu, 0);
            EXPECT_TRUE(child<QGroupBox>(*categories, "grbKoumoku")->isHidden());
            const auto *list = child<ListBox>(*categories, "lsbHimoku");
            EXPECT_EQ(list->rowCount(), scalar(QStringLiteral("SELECT count(*) FROM Himoku")));
            for (int row = 0; row < list->rowCount(); ++row) {
                const int32_t id = list->cell(row, 2).toInt();
                EXPECT_EQ(list->cell(row, 0), storedName(QStringLiteral("Himoku"), id)) << id;
            }
        }
    }

    QString storedName(const QString &table, int32_t id)
    {
        auto rows =
            KakeiboDB->select(QStringLiteral("SELECT Namae FROM %1 WHERE Id = %2").arg(table).arg(id));
        return rows && !rows->atEnd() ? rows->textAt(0) : QString();
    }

    // The other process's change, written straight into the file; what the file holds after it.
    void otherProgram(QStringList statements)
    {
        statements << kSettle;
        writeWithSqlite(path(m_file), statements);
        m_afterOther = readFile(m_file);
    }

    // The Done refused: the message once, the file byte for byte as the other process left it,
    // the ledger sound, no transaction left open.
    void expectRefusedAndNothingWritten()
    {
        EXPECT_EQ(m_ui->messages, QStringList{changedChoiceMessage()}) << lines(m_ui->messages);
        EXPECT_EQ(readFile(m_file), m_afterOther) << "something was written";
        expectSound(m_file);
        EXPECT_FALSE(KakeiboDB->inTransaction());
    }

    std::unique_ptr<dlgSisan> accounts;
    std::unique_ptr<dlgHimoku> categories;

    // A new ledger of its own for the next round of a table, the dialogs closed.
    void startLedger()
    {
        accounts.reset();
        categories.reset();
        m_file = QStringLiteral("two-%1.sqlf").arg(++m_round);
        m_ui->messages.clear();
        createLedger(m_file);
        // The newest rows of each table, with entries booked to them, a transfer among them.
        exec(QStringLiteral("INSERT INTO Sisan VALUES (%1, '財布', 1000, 0)").arg(kWallet));
        exec(QStringLiteral("INSERT INTO Himoku VALUES (%1, 1, '趣味', %1, 2)").arg(kHobby));
        exec(QStringLiteral("INSERT INTO Himoku VALUES (%1, 1, '趣味/本', %2, 0)").arg(kBooks).arg(kHobby));
        exec(QStringLiteral("INSERT INTO Himoku VALUES (%1, 1, '趣味/映画', %2, 0)").arg(kFilms).arg(kHobby));
        exec(expense(kWallet, kFilms, 300));
        exec(expense(1, kBooks, 200));
        exec(expense(2, kFilms, 150));
        exec(
            QStringLiteral("INSERT INTO Items (Hizuke, Nen, Tuki, Hi, SisanNo, SyubetuNo, HimokuNo, "
                           "IdouSisanNo, IdouId, Nyuukin, Bikou) VALUES ('2024-06-02', 2024, 6, 2, 2, 2, 77, "
                           "NULL, -1, 5000, 'pay')"));
        exec(QStringLiteral(
                 "INSERT INTO Items (Hizuke, Nen, Tuki, Hi, SisanNo, SyubetuNo, IdouSisanNo, IdouId, "
                 "Syukkin, Bikou) VALUES ('2024-06-03', 2024, 6, 3, %1, 3, 1, 0, 500, 't')")
                 .arg(kWallet));
        exec(QStringLiteral(
                 "INSERT INTO Items (Hizuke, Nen, Tuki, Hi, SisanNo, SyubetuNo, IdouSisanNo, IdouId, "
                 "Nyuukin, Bikou) VALUES ('2024-06-03', 2024, 6, 3, 1, 4, %1, last_insert_rowid(), "
                 "500, 't')")
                 .arg(kWallet));
        exec(QStringLiteral(
            "UPDATE Items SET IdouId = last_insert_rowid() WHERE Id = last_insert_rowid() - 1"));
        exec(kSettle);
        expectSound(m_file);
        m_ui->messages.clear();
    }

protected:
    void SetUp() override
    {
        ReliabilityFixture::SetUp();
        startLedger();
    }

    void TearDown() override
    {
        accounts.reset();
        categories.reset();
        ReliabilityFixture::TearDown();
    }

    QString m_file;
    int m_round = 0;
    QByteArray m_afterOther;
};

// One write site of the dialogs: the user's choice up to Done, what the other process does
// meanwhile, and Done.
struct SiteCase
{
    const char *what;
    std::function<void(TwoProgramsMaintenanceTest &)> choose;
    QStringList other;
    // The row the other process made took the Id the user chose.
    const char *table;
    int32_t reusedId;
    const char *reusedName;
    std::function<void(TwoProgramsMaintenanceTest &)> done;
};

void PrintTo(const SiteCase &c, std::ostream *os)
{
    *os << c.what;
}

class EveryMaintenanceWrite : public TwoProgramsMaintenanceTest,
                              public ::testing::WithParamInterface<SiteCase>
{
};

TEST_P(EveryMaintenanceWrite, RefusesARowThatTookTheChosenIdAndListsTheLedgerAgain)
{
    const SiteCase &c = GetParam();
    c.choose(*this);
    ASSERT_TRUE(m_ui->messages.isEmpty()) << lines(m_ui->messages);
    otherProgram(c.other);
    ASSERT_EQ(storedName(QString::fromLatin1(c.table), c.reusedId), QString::fromUtf8(c.reusedName));
    c.done(*this);
    expectRefusedAndNothingWritten();
    expectDialogShowsTheLedger();
}

INSTANTIATE_TEST_SUITE_P(
    TwoPrograms, EveryMaintenanceWrite,
    ::testing::Values(
        // The same name: only the opening amount tells the new account from the one shown.
        SiteCase{"AccountEdit",
                 [](TwoProgramsMaintenanceTest &t) {
                     t.chooseAccount(kWallet, "pbtSisanHensyuu");
                     t.typeAccount("小銭入れ", "2000");
                 },
                 replaceTheWallet("財布", 0), "Sisan", kWallet, "財布",
                 [](TwoProgramsMaintenanceTest &t) { t.accountDone(false); }},
        // Gone, and no row took its Id: Done says so instead of doing nothing.
        SiteCase{"AccountEditOfAnAccountDeleted",
                 [](TwoProgramsMaintenanceTest &t) {
                     t.chooseAccount(kWallet, "pbtSisanHensyuu");
                     t.typeAccount("小銭入れ", "2000");
                 },
                 replaceTheWallet("財布", 0).mid(0, 2), "Sisan", kWallet, "",
                 [](TwoProgramsMaintenanceTest &t) { t.accountDone(false); }},
        // The same opening amount: only the name tells them apart.
        SiteCase{"AccountDelete",
                 [](TwoProgramsMaintenanceTest &t) { t.chooseAccount(kWallet, "pbtSisanSakujyo"); },
                 replaceTheWallet("カード", 1000), "Sisan", kWallet, "カード",
                 [](TwoProgramsMaintenanceTest &t) { t.accountDone(true); }},
        SiteCase{"SubItemAddUnderACategoryThatTookTheId",
                 [](TwoProgramsMaintenanceTest &t) {
                     t.chooseItem(kHobby, "pbtUtiwakeTuika");
                     t.typeItem("tfdUtiwakeNamae", "旅");
                 },
                 replaceTheHobbyCategory("交際費"), "Himoku", kHobby, "交際費",
                 [](TwoProgramsMaintenanceTest &t) { t.categoryDone(false); }},
        SiteCase{"CategoryRename",
                 [](TwoProgramsMaintenanceTest &t) {
                     t.chooseItem(kHobby, "pbtKoumokuHensyuu");
                     t.typeItem("tfdHimokuNamae", "娯楽");
                 },
                 replaceTheHobbyCategory("交際費"), "Himoku", kHobby, "交際費",
                 [](TwoProgramsMaintenanceTest &t) { t.categoryDone(false); }},
        SiteCase{"SubItemRename",
                 [](TwoProgramsMaintenanceTest &t) {
                     t.chooseItem(kFilms, "pbtKoumokuHensyuu");
                     t.typeItem("tfdUtiwakeNamae", "趣味/映画館");
                 },
                 replaceTheFilms(1, kHobby, "趣味/音楽", 0), "Himoku", kFilms, "趣味/音楽",
                 [](TwoProgramsMaintenanceTest &t) { t.categoryDone(false); }},
        SiteCase{"CategoryDelete",
                 [](TwoProgramsMaintenanceTest &t) { t.chooseItem(kHobby, "pbtKoumokuSakujyo"); },
                 replaceTheHobbyCategory("交際費"), "Himoku", kHobby, "交際費",
                 [](TwoProgramsMaintenanceTest &t) { t.categoryDone(true); }},
        SiteCase{"SubItemDelete",
                 [](TwoProgramsMaintenanceTest &t) { t.chooseItem(kFilms, "pbtKoumokuSakujyo"); },
                 replaceTheFilms(1, kHobby, "趣味/音楽", 0), "Himoku", kFilms, "趣味/音楽",
                 [](TwoProgramsMaintenanceTest &t) { t.categoryDone(true); }},
        SiteCase{"MergeSourceThatTookTheId",
                 [](TwoProgramsMaintenanceTest &t) {
                     t.chooseItem(kFilms, "pbtUtiwakeTougou");
                     t.chooseMergeTarget("趣味/本");
                 },
                 replaceTheFilms(1, kHobby, "趣味/音楽", 0), "Himoku", kFilms, "趣味/音楽",
                 [](TwoProgramsMaintenanceTest &t) { t.categoryDone(true); }},
        SiteCase{"MergeTargetThatTookTheId",
                 [](TwoProgramsMaintenanceTest &t) {
                     t.chooseItem(kBooks, "pbtUtiwakeTougou");
                     t.chooseMergeTarget("趣味/映画");
                 },
                 replaceTheFilms(1, kHobby, "趣味/音楽", 0), "Himoku", kFilms, "趣味/音楽",
                 [](TwoProgramsMaintenanceTest &t) { t.categoryDone(true); }}),
    [](const ::testing::TestParamInfo<SiteCase> &info) { return std::string(info.param.what); });

// Each value the dialog shows counts alone: a row that took the Id and differs from the one
// shown in that value only is not the row shown.
TEST_F(TwoProgramsMaintenanceTest, EachShownValueAloneTellsTheRowThatTookTheIdFromTheOneShown)
{
    struct Case
    {
        const char *what;
        bool account;
        QStringList other;
    };
    const Case cases[] = {
        {"account name", true, replaceTheWallet("カード", 1000)},
        {"opening amount", true, replaceTheWallet("財布", 999)},
        {"kind", false, replaceTheFilms(2, kHobby, "趣味/映画", 0)},
        {"category", false, replaceTheFilms(1, 1, "趣味/映画", 0)},
        {"name", false, replaceTheFilms(1, kHobby, "趣味/映画 ", 0)},
        {"a category, not a sub-item", false, replaceTheFilms(1, kHobby, "趣味/映画", 1)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        startLedger();
        if (c.account) {
            chooseAccount(kWallet, "pbtSisanSakujyo");
            otherProgram(c.other);
            accountDone(true);
        } else {
            chooseItem(kFilms, "pbtKoumokuSakujyo");
            otherProgram(c.other);
            categoryDone(true);
        }
        expectRefusedAndNothingWritten();
    }
}

// Every write of the two dialogs where nothing it shows has changed: the user's steps up to
// Done, Done, and a query that yields 1 once the write is in the ledger.
struct DialogWrite
{
    const char *what;
    std::function<void(TwoProgramsMaintenanceTest &)> choose;
    std::function<void(TwoProgramsMaintenanceTest &)> done;
    const char *written;
};

std::vector<DialogWrite> everyDialogWrite()
{
    const auto accountDone = [](bool confirm) {
        return [confirm](TwoProgramsMaintenanceTest &t) { t.accountDone(confirm); };
    };
    const auto categoryDone = [](bool confirm) {
        return [confirm](TwoProgramsMaintenanceTest &t) { t.categoryDone(confirm); };
    };
    return {
        {"account edit",
         [](TwoProgramsMaintenanceTest &t) {
             t.chooseAccount(kWallet, "pbtSisanHensyuu");
             t.typeAccount("小銭入れ", "1500");
         },
         accountDone(false),
         "SELECT count(*) FROM Sisan WHERE Id = 3 AND Namae = '小銭入れ' AND SyokiKingaku = 1500"},
        {"account delete", [](TwoProgramsMaintenanceTest &t) { t.chooseAccount(kWallet, "pbtSisanSakujyo"); },
         accountDone(true),
         "SELECT NOT EXISTS (SELECT 1 FROM Sisan WHERE Id = 3) AND "
         "NOT EXISTS (SELECT 1 FROM Items WHERE SisanNo = 3 OR IdouSisanNo = 3)"},
        {"sub-item add",
         [](TwoProgramsMaintenanceTest &t) {
             t.chooseItem(kHobby, "pbtUtiwakeTuika");
             t.typeItem("tfdUtiwakeNamae", "釣り");
         },
         categoryDone(false),
         "SELECT count(*) FROM Himoku WHERE Namae = '趣味/釣り' AND Hno = 91 AND SyubetuNo = 1 AND Ucount = "
         "0"},
        {"category rename",
         [](TwoProgramsMaintenanceTest &t) {
             t.chooseItem(kHobby, "pbtKoumokuHensyuu");
             t.typeItem("tfdHimokuNamae", "娯楽");
         },
         categoryDone(false), "SELECT count(*) FROM Himoku WHERE Id = 91 AND Namae = '娯楽'"},
        {"sub-item rename",
         [](TwoProgramsMaintenanceTest &t) {
             t.chooseItem(kFilms, "pbtKoumokuHensyuu");
             t.typeItem("tfdUtiwakeNamae", "趣味/映画館");
         },
         categoryDone(false), "SELECT count(*) FROM Himoku WHERE Id = 93 AND Namae = '趣味/映画館'"},
        {"category delete", [](TwoProgramsMaintenanceTest &t) { t.chooseItem(kHobby, "pbtKoumokuSakujyo"); },
         categoryDone(true),
         "SELECT NOT EXISTS (SELECT 1 FROM Himoku WHERE Id = 91 OR CAST(Hno AS INTEGER) = 91) AND "
         "NOT EXISTS (SELECT 1 FROM Items WHERE HimokuNo IN (92, 93))"},
        {"sub-item delete", [](TwoProgramsMaintenanceTest &t) { t.chooseItem(kFilms, "pbtKoumokuSakujyo"); },
         categoryDone(true),
         "SELECT NOT EXISTS (SELECT 1 FROM Himoku WHERE Id = 93) AND "
         "NOT EXISTS (SELECT 1 FROM Items WHERE HimokuNo = 93)"},
        {"merge",
         [](TwoProgramsMaintenanceTest &t) {
             t.chooseItem(kFilms, "pbtUtiwakeTougou");
             t.chooseMergeTarget("趣味/本");
         },
         categoryDone(true),
         "SELECT NOT EXISTS (SELECT 1 FROM Himoku WHERE Id = 93) AND "
         "NOT EXISTS (SELECT 1 FROM Items WHERE HimokuNo = 93) AND "
         "(SELECT count(*) FROM Items WHERE HimokuNo = 92) >= 3"},
    };
}

// What the dialogs do not show may change meanwhile: an entry booked (a balance), a sub-item
// added (the category's count), a neighbour renamed. Every write goes through.
TEST_F(TwoProgramsMaintenanceTest, ChangesToWhatTheDialogDoesNotShowLetEveryWriteThrough)
{
    const QStringList elsewhere{
        expense(kWallet, kFilms, 40),
        QStringLiteral("INSERT INTO Himoku (SyubetuNo, Namae, Hno, Ucount) VALUES (1, '趣味/旅', %1, 0)")
            .arg(kHobby),
        QStringLiteral("UPDATE Himoku SET Ucount = 3 WHERE Id = %1").arg(kHobby),
        QStringLiteral("UPDATE Himoku SET Namae = '食費/お酒' WHERE Id = 3")};
    for (const DialogWrite &write : everyDialogWrite()) {
        SCOPED_TRACE(write.what);
        startLedger();
        write.choose(*this);
        otherProgram(elsewhere);
        write.done(*this);
        EXPECT_TRUE(m_ui->messages.isEmpty()) << lines(m_ui->messages);
        EXPECT_EQ(scalar(QString::fromUtf8(write.written)), 1);
        expectSound(m_file);
        EXPECT_FALSE(KakeiboDB->inTransaction());
    }
}

// Ledgers written by other tools: an account table made the way the sqlite3 shell's .import
// makes one (every column TEXT, amounts as text digits), a category table without column
// types holding text digits. The dialogs read the rows as they list them, so a row nobody
// changed stands and every write goes through.
TEST_F(TwoProgramsMaintenanceTest, EveryDialogWriteGoesThroughOnALedgerWhoseColumnsHoldText)
{
    for (const DialogWrite &write : everyDialogWrite()) {
        SCOPED_TRACE(write.what);
        startLedger();
        for (const char *sql : {
                 "CREATE TABLE Imported (\"Id\" TEXT, \"Namae\" TEXT, \"SyokiKingaku\" TEXT, \"Zankin\" "
                 "TEXT)",
                 "INSERT INTO Imported SELECT Id, Namae, SyokiKingaku, Zankin FROM Sisan",
                 "DROP TABLE Sisan",
                 "ALTER TABLE Imported RENAME TO Sisan",
                 "CREATE TABLE Untyped (Id INTEGER PRIMARY KEY, SyubetuNo, Namae, Hno, Ucount)",
                 "INSERT INTO Untyped SELECT Id, CAST(SyubetuNo AS TEXT), Namae, CAST(Hno AS TEXT), "
                 "CAST(Ucount AS TEXT) FROM Himoku",
                 "DROP TABLE Himoku",
                 "ALTER TABLE Untyped RENAME TO Himoku",
             }) {
            exec(QString::fromUtf8(sql));
        }
        ASSERT_EQ(scalar(QStringLiteral("SELECT count(*) FROM Himoku WHERE typeof(Ucount) = 'text' AND "
                                        "typeof(SyubetuNo) = 'text'")),
                  scalar(QStringLiteral("SELECT count(*) FROM Himoku")));
        ASSERT_EQ(scalar(QStringLiteral("SELECT count(*) FROM Sisan WHERE typeof(SyokiKingaku) = 'text'")),
                  3);
        write.choose(*this);
        write.done(*this);
        EXPECT_TRUE(m_ui->messages.isEmpty()) << lines(m_ui->messages);
        EXPECT_EQ(scalar(QString::fromUtf8(write.written)), 1);
        EXPECT_FALSE(KakeiboDB->inTransaction());
    }
}

} // namespace
