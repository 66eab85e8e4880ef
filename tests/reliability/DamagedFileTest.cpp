// Damaged ledger files opened through the real start-up: whatever the damage, the program
// reports it or works on what it can read, never crashes, never rewrites the settings file,
// and opening alone never changes the ledger file.

#include "ReliabilityFixture.h"

#include "app/LedgerStore.h"
#include "app/MainWindowPort.h"
#include "app/mdlGlobal.h"
#include "ledger/BalanceRule.h"
#include "ledger/wndKakeibo.h"
#include "platform/ListBox.h"
#include "reports/AssetReport.h"
#include "reports/PageModel.h"
#include "reports/RecordingSurface.h"
#include "reports/YearlyReport.h"

#include <QFile>
#include <QGroupBox>

#include <iostream>
#include <random>

namespace {

const QString kLedger = QStringLiteral("Quorvela.sqlf");
const QString kSettings = QStringLiteral("Quorvela.ini");

class DamagedFileTest : public ReliabilityFixture
{
protected:
    void SetUp() override
    {
        ReliabilityFixture::SetUp();
        // As at a real start: opening a ledger makes the main window and enables its group.
        setMainWindowEnabler(&wndKakeibo::enableBookkeeping);
        createLedger(QStringLiteral("sound.sqlf"));
        addSampleEntries(600);
        KakeiboDB.reset();
        m_sound = readFile(QStringLiteral("sound.sqlf"));
        ASSERT_GT(m_sound.size(), 8 * 4096);
        writeFile(kSettings, encodeSettingsFile(kLedger));
        m_settings = readFile(kSettings);
    }

    // Starts the program on the bytes as its remembered ledger and does what a user would
    // do first: look at every entry, then write (the balances). Fails the test on anything
    // unsound; counts whether the damage was reported.
    void startOn(const QByteArray &bytes, const std::string &label)
    {
        SCOPED_TRACE(label);
        restart();
        for (const char *suffix : {"-journal", "-wal", "-shm"}) {
            QFile::remove(path(kLedger + QLatin1String(suffix)));
        }
        writeFile(kLedger, bytes);

        OpenKakeiboInit();
        // The main window comes after the open handler, as main() makes it.
        wndKakeibo::instance();
        EXPECT_EQ(readFile(kSettings), m_settings);
        EXPECT_TRUE(m_ui->fileDialogTitles.isEmpty());
        // The could-not-connect message, or a reader's site followed by the database's reason
        // (the lookup tables, then the main window's first lists).
        for (const QString &message : std::as_const(m_ui->messages)) {
            EXPECT_TRUE(message == QString::fromUtf8("Quorvela.sqlf との接続ができませんでした。") ||
                        (message.startsWith(QStringLiteral("from Method ")) &&
                         message.contains(QStringLiteral(": ")) && !message.endsWith(QStringLiteral(": "))))
                << message.toStdString();
        }
        if (!m_ui->messages.isEmpty()) {
            ++m_reported;
        }
        ++m_tried;
        if (!KakeiboDB || !KakeiboDB->isConnected()) {
            EXPECT_FALSE(CheckKakeiboDBConnected());
            closeMainWindow();
            return;
        }

        // From here on a damaged page may be met anywhere; each reader reports it its own way.
        readEverything();
        lookThroughTheWindowAndReports();
        EXPECT_EQ(readFile(kLedger), bytes) << "opening and reading changed the ledger file";

        // A write on a damaged file either goes through or is refused with a message.
        {
            Transaction transaction(KakeiboDB.get());
            for (const int32_t id : gDicSisan.keys()) {
                UpdateSisanZankin(id);
            }
            transaction.commit();
        }
        EXPECT_FALSE(KakeiboDB->inTransaction());
        closeMainWindow();
    }

    // Every account's entries in the main window, the first entries of each shown in the form,
    // and both reports drawn and written as CSV text.
    void lookThroughTheWindowAndReports()
    {
        wndKakeibo *window = wndKakeibo::instance();
        for (int row = 0; row < window->lsbSisan()->rowCount(); ++row) {
            window->lsbSisan()->setListIndex(row);
            for (int entry = 0; entry < std::min(window->lsbItem()->rowCount(), 5); ++entry) {
                window->lsbItem()->setListIndex(entry);
            }
        }
        const QString date = QStringLiteral("2024/03/05");
        RecordingSurface surface;
        const AssetReportData assets = readAssetReport(*KakeiboDB);
        paintAssetReport(surface, *previewPageModel(kAssetReport), assets, date);
        (void)assetReportCsv(assets, date);
        const ReportYears years = readReportYears(*KakeiboDB);
        for (const QString &year : years.years) {
            const YearlyReportData data = readYearlyReport(*KakeiboDB, year);
            paintYearlyReport(surface, *previewPageModel(kYearlyReport), data, year, date);
            (void)yearlyReportCsv(data, year, date);
        }
    }

    // Every row of every table, every column as number and text.
    void readEverything()
    {
        for (const char *table : {"Sisan", "Himoku", "Items", "LastItems"}) {
            auto rows =
                KakeiboDB->select(QStringLiteral("SELECT * FROM %1 ORDER BY 1").arg(QLatin1String(table)));
            if (!rows) {
                continue;
            }
            for (; !rows->atEnd(); rows->moveNext()) {
                for (int c = 0; c < rows->columnCount(); ++c) {
                    (void)rows->int64At(c);
                    (void)rows->textAt(c);
                }
            }
        }
    }

    void TearDown() override
    {
        closeMainWindow();
        setMainWindowEnabler(nullptr);
        std::cout << "[ damaged  ] " << m_tried << " damaged ledgers started on, " << m_reported
                  << " reported at start-up\n";
        ReliabilityFixture::TearDown();
    }

    QByteArray m_sound;
    QByteArray m_settings;
    int m_tried = 0;
    int m_reported = 0;
};

TEST_F(DamagedFileTest, TruncatedLedgersAreReportedOrReadWithoutACrash)
{
    std::vector<qsizetype> offsets = {0,   1,   15,  16,   17,   99,   100,  101,
                                      511, 512, 513, 1023, 1024, 1025, 4095, 4097};
    for (qsizetype at = 2048; at < m_sound.size(); at += 2048) {
        offsets.push_back(at);
    }
    offsets.push_back(m_sound.size() - 1);
    for (const qsizetype at : offsets) {
        startOn(m_sound.left(at), "truncated at " + std::to_string(at));
    }
    // A file cut inside its header is not a database at all.
    EXPECT_GT(m_reported, 0);
}

TEST_F(DamagedFileTest, LedgersWithFlippedBytesAreReportedOrReadWithoutACrash)
{
    // Every byte of the file header, where a single wrong bit changes how the rest is read.
    for (int at = 0; at < 100; ++at) {
        QByteArray bytes = m_sound;
        bytes[at] = static_cast<char>(bytes[at] ^ 0xff);
        startOn(bytes, "header byte " + std::to_string(at) + " inverted");
    }
    // Bytes anywhere in the pages, a few at a time.
    std::mt19937 random(20240305);
    std::uniform_int_distribution<qsizetype> position(100, m_sound.size() - 1);
    std::uniform_int_distribution<int> bits(1, 255);
    for (int round = 0; round < 300; ++round) {
        QByteArray bytes = m_sound;
        std::string label = "flipped at";
        for (int n = 0; n <= round % 4; ++n) {
            const qsizetype at = position(random);
            bytes[at] = static_cast<char>(bytes[at] ^ bits(random));
            label += ' ';
            label += std::to_string(at);
        }
        startOn(bytes, label);
    }
    // Whole pages zeroed: a lost sector.
    for (qsizetype page = 0; page * 4096 < m_sound.size(); ++page) {
        QByteArray bytes = m_sound;
        bytes.replace(page * 4096, 4096, QByteArray(4096, '\0'));
        startOn(bytes, "page " + std::to_string(page) + " zeroed");
    }
    EXPECT_GT(m_reported, 0);
}

} // namespace
