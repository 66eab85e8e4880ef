// Ledgers written by another program with amounts near the 64-bit limit, started on as the
// program starts, then written to through the main window: a sum past the limit is reported
// as its read's failure ("integer overflow", as SQLite's SUM says it), never shown wrapped or
// clamped, and a write whose balance would pass the limit rolls back whole.

#include "ReliabilityFixture.h"

#include "app/LedgerStore.h"
#include "app/MainWindowPort.h"
#include "app/mdlGlobal.h"
#include "ledger/wndKakeibo.h"
#include "platform/ListBox.h"
#include "platform/RadioButton.h"

#include <QFile>
#include <QGroupBox>
#include <QLabel>

#include <sqlite3.h>

#include <optional>

namespace {

const QString kLedger = QStringLiteral("Quorvela.sqlf");
const char *const kOverflow = "integer overflow";

// Amounts as another program writes them: straight into the file, past every check of ours.
void writeWithSqlite(const QString &file, const QStringList &statements)
{
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open_v2(file.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr), SQLITE_OK);
    for (const QString &sql : statements) {
        char *error = nullptr;
        EXPECT_EQ(sqlite3_exec(db, sql.toUtf8().constData(), nullptr, nullptr, &error), SQLITE_OK)
            << sql.toStdString() << ": " << (error ? error : "");
        sqlite3_free(error);
    }
    sqlite3_close(db);
}

QString entry(int account, int kind, const char *column, const char *amount)
{
    const char *category = kind == 1 ? "2" : "77";
    return QStringLiteral("INSERT INTO Items (Hizuke,Nen,Tuki,Hi,SisanNo,SyubetuNo,HimokuNo,IdouId,%1,Bikou) "
                          "VALUES ('2024-01-05', 2024, 1, 5, %2, %3, %4, -1, %5, 'far')")
        .arg(QLatin1String(column))
        .arg(account)
        .arg(kind)
        .arg(QLatin1String(category))
        .arg(QLatin1String(amount));
}

QString income(int account, const char *amount)
{
    return entry(account, 2, "Nyuukin", amount);
}

QString expense(int account, const char *amount)
{
    return entry(account, 1, "Syukkin", amount);
}

QString account(int id, const char *opening, const char *balance)
{
    return QStringLiteral("UPDATE Sisan SET SyokiKingaku = %1, Zankin = %2 WHERE Id = %3")
        .arg(QLatin1String(opening))
        .arg(QLatin1String(balance))
        .arg(id);
}

QStringList overflowAt(std::initializer_list<const char *> prefixes)
{
    QStringList messages;
    for (const char *prefix : prefixes) {
        messages.append(QString::fromUtf8(prefix) + QLatin1String(kOverflow));
    }
    return messages;
}

std::string lines(const QStringList &messages)
{
    return messages.join(QLatin1Char('\n')).toStdString();
}

struct NearTheLimit
{
    const char *what;
    QStringList rows;
    // What the start shows: its messages (a failing entry list is filled twice, each fill
    // saying so), and account 1's entry list and total.
    QStringList startMessages;
    int listedEntries;
    QString itemTotal;
    // An expense of 1 booked to account 1 through the form: its messages, and the balance it
    // stored; none when the whole action rolled back.
    QStringList writeMessages;
    std::optional<qint64> storedBalance;
};

class AmountsNearTheLimitTest : public ReliabilityFixture
{
protected:
    void SetUp() override
    {
        ReliabilityFixture::SetUp();
        setMainWindowEnabler([] { wndKakeibo::instance()->grbKakeibo2()->setEnabled(true); });
    }

    void TearDown() override
    {
        closeMainWindow();
        setMainWindowEnabler(nullptr);
        ReliabilityFixture::TearDown();
    }

    // A seeded ledger holding the rows, remembered as the ledger to open, and the program
    // started on it.
    void startOn(const QStringList &rows)
    {
        restart();
        createLedger(kLedger);
        closeMainWindow();
        KakeiboDB.reset();
        writeWithSqlite(path(kLedger), rows);
        writeFile(QStringLiteral("Quorvela.ini"), encodeSettingsFile(kLedger));
        restart();
        OpenKakeiboInit();
        m_w = wndKakeibo::instance();
    }

    // Every amount the main window shows.
    QStringList shownAmounts() const
    {
        QStringList shown{m_w->lblItotal()->text(), m_w->lblStotal()->text()};
        for (int row = 0; row < m_w->lsbSisan()->rowCount(); ++row) {
            shown.append(m_w->lsbSisan()->cell(row, 2));
        }
        for (int row = 0; row < m_w->lsbItem()->rowCount(); ++row) {
            for (int column : {3, 4, 5}) {
                shown.append(m_w->lsbItem()->cell(row, column));
            }
        }
        return shown;
    }
};

TEST_F(AmountsNearTheLimitTest, SumsPastTheLimitAreReportedNeverShownOrStored)
{
    const QStringList noMessage;
    const NearTheLimit cases[] = {
        {"an income carries the running balance past the top",
         {account(1, "1000", "1000"), income(1, "9223372036854775807")},
         overflowAt({"from Method SetlsbItem: ", "from Method SetlsbItem: "}),
         0,
         QStringLiteral("0"),
         {QString::fromLatin1(kOverflow)},
         std::nullopt},
        {"two incomes whose sum passes the top (SQL's own SUM fails too)",
         {income(1, "9223372036854775807"), income(1, "1")},
         overflowAt({"from Method SetlsbItem: ", "from Method SetlsbItem: "}),
         0,
         QStringLiteral("0"),
         {QString::fromLatin1(kOverflow)},
         std::nullopt},
        {"expenses carry the running balance past the bottom",
         {account(1, "-9223372036854775807", "0"), expense(1, "1"), expense(1, "1")},
         overflowAt({"from Method SetlsbItem: ", "from Method SetlsbItem: "}),
         0,
         QStringLiteral("0"),
         {QString::fromLatin1(kOverflow)},
         std::nullopt},
        // The stored balance after the write is exact; only the list's walk passes the top.
        {"income minus a negative expense passes the top",
         {income(1, "9223372036854775807"), expense(1, "-1")},
         overflowAt({"from Method SetlsbItem: ", "from Method SetlsbItem: "}),
         0,
         QStringLiteral("0"),
         overflowAt({"from Method SetlsbItem: "}),
         9223372036854775807},
        {"a balance just under the top: shown and written exactly",
         {income(1, "9223372036854775806"), account(1, "0", "9223372036854775806")},
         noMessage,
         1,
         QStringLiteral("9,223,372,036,854,775,806(円)"),
         noMessage,
         9223372036854775805},
    };
    for (const NearTheLimit &c : cases) {
        SCOPED_TRACE(c.what);
        startOn(c.rows);
        EXPECT_EQ(lines(m_ui->messages), lines(c.startMessages));
        EXPECT_EQ(m_w->lsbItem()->rowCount(), c.listedEntries);
        EXPECT_EQ(m_w->lblItotal()->text().toStdString(), c.itemTotal.toStdString());
        for (const QString &shown : shownAmounts()) {
            // A wrapped sum shows as a huge amount of the other sign; nothing here is negative.
            EXPECT_FALSE(shown.startsWith(QLatin1Char('-'))) << shown.toStdString();
        }

        m_ui->messages.clear();
        const qint64 entries = scalar(QStringLiteral("SELECT count(*) FROM Items"));
        const qint64 balance = scalar(QStringLiteral("SELECT Zankin FROM Sisan WHERE Id = 1"));
        enterNew(m_w->rbtSisyutu(), QString::fromUtf8("食費/食材"), QStringLiteral("1"), QStringLiteral("m"));
        EXPECT_EQ(lines(m_ui->messages), lines(c.writeMessages));
        EXPECT_FALSE(KakeiboDB->inTransaction());
        EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM Items")), entries + (c.storedBalance ? 1 : 0));
        EXPECT_EQ(scalar(QStringLiteral("SELECT Zankin FROM Sisan WHERE Id = 1")),
                  c.storedBalance.value_or(balance));
        closeMainWindow();
        KakeiboDB.reset();
        QFile::remove(path(kLedger));
    }
}

} // namespace
