// Ledgers written by another program with amounts near the 64-bit limit, started on as the
// program starts, then written to through the main window: a sum past the limit is reported
// as its read's failure ("integer overflow", as SQLite's SUM says it), never shown wrapped or
// clamped, and a write whose balance would pass the limit rolls back whole.

#include "ReliabilityFixture.h"

#include "app/LedgerStore.h"
#include "app/MainWindowPort.h"
#include "app/mdlGlobal.h"
#include "ledger/wndKakeibo.h"
#include "maintenance/AccountMaintenance.h"
#include "platform/ListBox.h"
#include "platform/RadioButton.h"
#include "reports/AssetReport.h"
#include "reports/PageModel.h"
#include "reports/YearlyReport.h"

#include <QFile>
#include <QGroupBox>
#include <QLabel>

#include <optional>

namespace {

const QString kLedger = QStringLiteral("Quorvela.sqlf");
const char *const kOverflow = "integer overflow";

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
        setMainWindowEnabler(&wndKakeibo::enableBookkeeping);
    }

    void TearDown() override
    {
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

    // Ends the program and removes its ledger, for the next case.
    void stop()
    {
        closeMainWindow();
        KakeiboDB.reset();
        QFile::remove(path(kLedger));
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
        // SQLite keeps a number past the range as REAL, which reads back clamped to the limit.
        {"an income past the top, stored as REAL",
         {income(1, "10000000000000000000")},
         overflowAt({"from Method SetlsbItem: ", "from Method SetlsbItem: "}),
         0,
         QStringLiteral("0"),
         {QString::fromLatin1(kOverflow)},
         std::nullopt},
        {"balances whose total passes the top (SQL's own SUM fails)",
         {account(1, "9223372036854775807", "9223372036854775807"), account(2, "1000", "1000")},
         overflowAt({"from Method Sum  Zankin: "}),
         0,
         QStringLiteral("9,223,372,036,854,775,807(円)"),
         overflowAt({"from Method Sum  Zankin: "}),
         9223372036854775806},
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
        stop();
    }
}

// The CSV lines of a yearly report line: its label, then months 1 to 12 and the year.
QString yearlyLine(const char *label, const char *january)
{
    QStringList fields{QString::fromUtf8(label), QString::fromLatin1(january)};
    for (int month = 2; month <= 12; ++month) {
        fields.append(QStringLiteral("0"));
    }
    fields.append(QString::fromLatin1(january));
    return fields.join(QStringLiteral(" , ")) + QLatin1Char('\n');
}

// A line whose statement failed: every cell empty.
QString emptyYearlyLine(const char *label)
{
    return QString::fromUtf8(label) + QStringLiteral(" , ").repeated(13) + QLatin1Char('\n');
}

TEST_F(AmountsNearTheLimitTest, ReportTotalsPastTheLimitAreReportedNeverShown)
{
    const struct
    {
        const char *what;
        int32_t report;
        QStringList rows;
        // The preview's messages, then those of the CSV file.
        QStringList messages;
        // Lines the CSV file holds.
        QString csvLines;
    } cases[] = {
        {"balances whose total passes the top",
         kAssetReport,
         {account(1, "9223372036854775807", "9223372036854775807"), account(2, "1000", "1000")},
         overflowAt({kAssetDrawFailure, kAssetCsvFailure}),
         QString::fromUtf8("番号 , 名前 , 残金(円)\n資産残合計  , 0\n")},
        {"a balance past the top, stored as REAL",
         kAssetReport,
         {account(2, "0", "10000000000000000000")},
         overflowAt({kAssetDrawFailure, kAssetCsvFailure}),
         QString::fromUtf8("番号 , 名前 , 残金(円)\n資産残合計  , 0\n")},
        // The totals are read fine; taking the expense from the income passes the top in
        // January and the year: those two differences are left empty, every other figure stays.
        {"income minus a negative expense passes the top",
         kYearlyReport,
         {income(1, "9223372036854775807"), expense(1, "-1")},
         overflowAt({kYearlyDrawFailures[3], kYearlyCsvFailures[3]}),
         yearlyLine("収入合計", "9223372036854775807") + QString::fromUtf8("支出\n") +
             yearlyLine("食費/食材", "-1") + yearlyLine("支出合計", "-1") + yearlyLine("差引合計", "")},
        {"two incomes whose sum passes the top (SQL's own SUM fails)",
         kYearlyReport,
         {income(1, "9223372036854775807"), income(1, "1")},
         overflowAt(
             {kYearlyDrawFailures[0], kYearlyDrawFailures[1], kYearlyCsvFailures[0], kYearlyCsvFailures[1]}),
         QString::fromUtf8("収入\n") + emptyYearlyLine("収入合計") + QString::fromUtf8("支出\n") +
             yearlyLine("支出合計", "0") + emptyYearlyLine("差引合計")},
        {"an income past the top, stored as REAL",
         kYearlyReport,
         {income(1, "10000000000000000000")},
         overflowAt(
             {kYearlyDrawFailures[0], kYearlyDrawFailures[1], kYearlyCsvFailures[0], kYearlyCsvFailures[1]}),
         QString::fromUtf8("収入\n") + emptyYearlyLine("収入合計") + QString::fromUtf8("支出\n") +
             yearlyLine("支出合計", "0") + emptyYearlyLine("差引合計")},
    };
    const QString csv = QStringLiteral("report.csv");
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        startOn(c.rows);
        // Each case writes its own file: one left from the case before must not pass for it.
        QFile::remove(path(csv));
        EXPECT_EQ(lines(writeCsvThroughTheWindow(c.report, path(csv))), lines(c.messages));
        const QString written = QString::fromUtf8(readFile(csv));
        EXPECT_TRUE(written.contains(c.csvLines)) << written.toStdString();
        EXPECT_FALSE(written.contains(QStringLiteral("922337203685477")) &&
                     !c.csvLines.contains(QStringLiteral("922337203685477")))
            << written.toStdString();
        stop();
    }
}

// The account dialog shifts the stored balance by the change of the opening amount: a shift
// past the limit fails as the account's read, and nothing is written.
TEST_F(AmountsNearTheLimitTest, AnOpeningAmountChangeNeverShiftsABalancePastTheLimit)
{
    const struct
    {
        const char *what;
        QStringList rows;
        const char *opening;
        QStringList messages;
        // The stored opening amount and balance afterwards, as SQLite writes them out.
        const char *stored;
    } cases[] = {
        {"a balance at the top raised by one",
         {account(1, "0", "9223372036854775807")},
         "1",
         overflowAt({"from SisanHensyuu "}),
         "0 9223372036854775807"},
        {"an opening amount at the bottom raised by one",
         {account(1, "-9223372036854775807", "0")},
         "1",
         overflowAt({"from SisanHensyuu "}),
         "-9223372036854775807 0"},
        {"a balance past the top, stored as REAL",
         {account(1, "0", "10000000000000000000")},
         "0",
         overflowAt({"from SisanHensyuu "}),
         "0 1.0e+19"},
        {"a balance raised exactly to the top",
         {account(1, "0", "9223372036854775806")},
         "1",
         {},
         "1 9223372036854775807"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.what);
        startOn(c.rows);
        m_ui->messages.clear();
        EXPECT_EQ(editAccount(readStoredAccount(*KakeiboDB, 1).row, QString::fromUtf8("現金"),
                              QString::fromLatin1(c.opening)),
                  c.messages.isEmpty());
        EXPECT_EQ(lines(m_ui->messages), lines(c.messages));
        EXPECT_FALSE(KakeiboDB->inTransaction());
        auto stored =
            KakeiboDB->select(QStringLiteral("SELECT SyokiKingaku || ' ' || Zankin FROM Sisan WHERE Id = 1"));
        ASSERT_TRUE(stored);
        EXPECT_EQ(stored->textAt(0).toStdString(), c.stored);
        stop();
    }
}

} // namespace
