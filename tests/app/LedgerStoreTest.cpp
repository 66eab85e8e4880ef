#include "app/LedgerStore.h"
#include "app/App.h"
#include "app/LedgerSchema.h"
#include "app/MainMenuBar.h"
#include "app/MainWindowPort.h"
#include "app/mdlGlobal.h"

#include "support/LedgerTestFixture.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>

namespace {

const QString kOpenTitle = QString::fromUtf8("家計簿ファイルを開く");
const QString kNotOpened = QString::fromUtf8("家計簿ファイルが開かれませんでした。");

class LedgerStoreTest : public LedgerTestFixture
{
protected:
    void SetUp() override
    {
        LedgerTestFixture::SetUp();
        m_enabled = 0;
        setMainWindowEnabler([this] { ++m_enabled; });
    }
    void TearDown() override
    {
        setMainWindowEnabler(nullptr);
        LedgerTestFixture::TearDown();
    }

    // A seeded ledger at the path, closed again, with the test's records cleared.
    void makeLedgerFile(const QString &file)
    {
        createLedger(file);
        resetGlobals();
        m_enabled = 0;
        MainMenuBar::destroyInstance();
        MainMenuBar::instance();
    }

    void writeFile(const QString &file, const QByteArray &bytes)
    {
        QFile f(path(file));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    QByteArray readFile(const QString &file)
    {
        QFile f(path(file));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    bool ledgerMenuItemsVisible()
    {
        return SisanKoumokuKanri()->isVisible() && HimokuKoumokuKanri()->isVisible() &&
               reportSubmenuItem()->isVisible();
    }

    int m_enabled = 0;
};

TEST_F(LedgerStoreTest, FirstStartUsesTheDefaultLedgerAndRemembersItsName)
{
    makeLedgerFile(QStringLiteral("Quorvela.sqlf"));
    OpenKakeiboInit();
    EXPECT_TRUE(m_ui->fileDialogTitles.isEmpty());
    EXPECT_TRUE(m_ui->messages.isEmpty());
    ASSERT_TRUE(KakeiboDB && KakeiboDB->isConnected());
    EXPECT_EQ(gDBfileName, QStringLiteral("Quorvela.sqlf"));
    EXPECT_EQ(readFile(QStringLiteral("Quorvela.ini")), QByteArray("\x0d\0\0\0Quorvela.sqlf", 17));
    EXPECT_EQ(m_enabled, 1);
    EXPECT_TRUE(ledgerMenuItemsVisible());
    EXPECT_EQ(gDicSisan.count(), 2);
}

TEST_F(LedgerStoreTest, CancelledFirstStartLeavesNoLedgerAndWritesNoSettings)
{
    OpenKakeiboInit();
    EXPECT_EQ(m_ui->fileDialogTitles, QStringList{kOpenTitle});
    EXPECT_EQ(m_ui->messages, QStringList{kNotOpened});
    EXPECT_FALSE(KakeiboDB);
    EXPECT_EQ(gDBfileName, QString());
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("Quorvela.ini"))));
    EXPECT_EQ(m_enabled, 0);
    EXPECT_FALSE(SisanKoumokuKanri()->isVisible());
    EXPECT_FALSE(CheckKakeiboDBConnected());
    EXPECT_EQ(m_ui->messages.size(), 1);
}

TEST_F(LedgerStoreTest, FirstStartWithALedgerElsewhereRemembersItsUtf8NameAndAsksAgain)
{
    QDir(m_dir.path()).mkdir(QStringLiteral("other"));
    makeLedgerFile(QStringLiteral("other/家計簿.sqlf"));
    const QString chosen = path(QStringLiteral("other/家計簿.sqlf"));
    m_ui->fileAnswers = {chosen, chosen};
    OpenKakeiboInit();
    EXPECT_EQ(readFile(QStringLiteral("Quorvela.ini")),
              QByteArray("\x0e\0\0\0", 4) + QString::fromUtf8("家計簿.sqlf").toUtf8());
    // The name resolves in the data folder, where no such file lies: the dialog comes again.
    EXPECT_EQ(m_ui->fileDialogTitles, (QStringList{kOpenTitle, kOpenTitle}));
    ASSERT_TRUE(KakeiboDB && KakeiboDB->isConnected());
    EXPECT_EQ(KakeiboDB->databaseFile(), chosen);
}

TEST_F(LedgerStoreTest, FirstStartWithAFileThatIsNotALedgerSaysSoAndRemembersNothing)
{
    writeFile(QStringLiteral("notes.txt"), QByteArray(2048, 'n'));
    m_ui->fileAnswers = {path(QStringLiteral("notes.txt"))};
    OpenKakeiboInit();
    EXPECT_EQ(m_ui->messages, QStringList{QString::fromUtf8("notes.txt との接続ができませんでした。")});
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("Quorvela.ini"))));
    EXPECT_EQ(readFile(QStringLiteral("notes.txt")), QByteArray(2048, 'n'));
    EXPECT_EQ(m_enabled, 0);
}

TEST_F(LedgerStoreTest, DamagedSettingsFilesCountAsAnEmptyNameAndAreNeverRewritten)
{
    makeLedgerFile(QStringLiteral("Quorvela.sqlf"));
    const QByteArray cases[] = {
        QByteArray(),
        QByteArray("\x01\0", 2),
        QByteArray("\0\0\0\0", 4),
        QByteArray("\xff\xff\xff\xff", 4),
        QByteArray("\xe8\x03\0\0abc", 7),
        QByteArray("\x05\0\0\0", 4),
    };
    for (const QByteArray &bytes : cases) {
        writeFile(QStringLiteral("Quorvela.ini"), bytes);
        m_ui->fileDialogTitles.clear();
        m_ui->messages.clear();
        KakeiboDB.reset();
        OpenKakeiboInit();
        EXPECT_EQ(m_ui->fileDialogTitles, QStringList{kOpenTitle}) << bytes.toHex().constData();
        EXPECT_EQ(readFile(QStringLiteral("Quorvela.ini")), bytes);
    }
}

TEST_F(LedgerStoreTest, ASettingsFileThatCannotBeReadCountsAsAnEmptyName)
{
    QDir(m_dir.path()).mkdir(QStringLiteral("Quorvela.ini"));
    OpenKakeiboInit();
    EXPECT_EQ(m_ui->fileDialogTitles, QStringList{kOpenTitle});
    EXPECT_EQ(m_ui->messages, QStringList{kNotOpened});
}

TEST_F(LedgerStoreTest, OpenReopensTheRememberedFileWithoutAsking)
{
    makeLedgerFile(QStringLiteral("Quorvela.sqlf"));
    writeFile(QStringLiteral("Quorvela.ini"), encodeSettingsFile(QStringLiteral("Quorvela.sqlf")));
    OpenKakeiboInit();
    LedgerConnection *first = KakeiboDB.get();
    OpenKakeiboDB(gDBfileName);
    EXPECT_TRUE(m_ui->fileDialogTitles.isEmpty());
    ASSERT_TRUE(KakeiboDB && KakeiboDB->isConnected());
    EXPECT_NE(KakeiboDB.get(), first);
    EXPECT_EQ(m_enabled, 2);
}

TEST_F(LedgerStoreTest, OpenWithTheRememberedFileMissingClosesTheLedgerBeforeAsking)
{
    makeLedgerFile(QStringLiteral("Quorvela.sqlf"));
    OpenKakeiboInit();
    ASSERT_TRUE(KakeiboDB);
    gDBfileName = QStringLiteral("gone.sqlf");
    const int tables = gDicSisyutu.count();
    OpenKakeiboDB(gDBfileName);
    EXPECT_EQ(m_ui->fileDialogTitles, QStringList{kOpenTitle});
    EXPECT_EQ(m_ui->messages, QStringList{kNotOpened});
    EXPECT_FALSE(KakeiboDB);
    EXPECT_EQ(gDicSisyutu.count(), tables);
    m_ui->messages.clear();
    EXPECT_FALSE(CheckKakeiboDBConnected());
    EXPECT_TRUE(m_ui->messages.isEmpty());
}

TEST_F(LedgerStoreTest, AFailedOpenLeavesAGuardThatRefusesWithTheStoredMessage)
{
    writeFile(QStringLiteral("bad.sqlf"), QByteArray(1024, 'b'));
    gDBfileName = QStringLiteral("bad.sqlf");
    OpenKakeiboDB(gDBfileName);
    EXPECT_EQ(m_ui->messages, QStringList{QString::fromUtf8("bad.sqlf との接続ができませんでした。")});
    ASSERT_TRUE(KakeiboDB);
    EXPECT_FALSE(KakeiboDB->isConnected());
    m_ui->messages.clear();
    EXPECT_FALSE(CheckKakeiboDBConnected());
    ASSERT_EQ(m_ui->messages.size(), 1);
    EXPECT_EQ(m_ui->messages[0], QStringLiteral("file is not a database"));
    EXPECT_EQ(m_enabled, 0);
}

TEST_F(LedgerStoreTest, ARememberedLedgerWithAFifoForAJournalIsRefusedAndNeverBlocks)
{
    makeLedgerFile(QStringLiteral("Quorvela.sqlf"));
    writeFile(QStringLiteral("Quorvela.ini"), encodeSettingsFile(QStringLiteral("Quorvela.sqlf")));
    // SQLite would open it to read a journal back, and the open waits for a writer for ever.
    const QString journal = path(QStringLiteral("Quorvela.sqlf-journal"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(journal).constData(), 0644), 0);
    OpenKakeiboInit();
    EXPECT_EQ(m_ui->messages, QStringList{QString::fromUtf8("Quorvela.sqlf との接続ができませんでした。")});
    ASSERT_TRUE(KakeiboDB);
    EXPECT_FALSE(KakeiboDB->isConnected());
    EXPECT_EQ(m_enabled, 0);
    // Opening a ledger removes nothing beside it.
    EXPECT_TRUE(QFileInfo(journal).exists());
}

TEST_F(LedgerStoreTest, LookupTablesFollowTheCategoryOrderWithHeaderEntries)
{
    createLedger(QStringLiteral("fixture.sqlf"));
    exec(QStringLiteral("DELETE FROM Himoku"));
    exec(QStringLiteral("INSERT INTO Himoku VALUES (10, 1, 'B', 10, 7)"));
    exec(QStringLiteral("INSERT INTO Himoku VALUES (12, 1, 'B/x', 10, 0)"));
    exec(QStringLiteral("INSERT INTO Himoku VALUES (11, 1, 'B/y', 10, NULL)"));
    exec(QStringLiteral("INSERT INTO Himoku VALUES (3, 1, 'Lone', 3, 0)"));
    exec(QStringLiteral("INSERT INTO Himoku VALUES (5, 3, 'Other kind', 5, 1)"));
    exec(QStringLiteral("INSERT INTO Himoku VALUES (20, 2, 'In', 20, 1)"));
    loadLookupTables(QStringLiteral("prefix: "));
    // Ucount DESC puts NULL after 0.
    EXPECT_EQ(gDicSisyutu.keys(), (std::vector<int32_t>{3, 10, 12, 11}));
    EXPECT_EQ(gDicSisyutu.value(3), QStringLiteral("Lone"));
    EXPECT_EQ(gDicSisyutu.value(10), QStringLiteral(">>B"));
    EXPECT_EQ(gDicSisyutu.value(11), QStringLiteral("B/y"));
    EXPECT_EQ(gDicSyuunyuu.keys(), (std::vector<int32_t>{20}));
    EXPECT_EQ(gDicSyuunyuu.value(20), QStringLiteral(">>In"));
}

TEST_F(LedgerStoreTest, SelectFailuresAreReportedInOrderAndOpeningGoesOn)
{
    {
        LedgerConnection empty(path(QStringLiteral("Quorvela.sqlf")));
        ASSERT_TRUE(empty.createDatabaseFile());
        ASSERT_TRUE(empty.execute(QStringLiteral("CREATE TABLE Unrelated (x)")));
    }
    gDBfileName = QStringLiteral("Quorvela.sqlf");
    OpenKakeiboDB(gDBfileName);
    EXPECT_EQ(m_ui->messages,
              (QStringList{QStringLiteral("from Method OpenKakeiboDB: no such table: Himoku"),
                           QStringLiteral("from Method OpenKakeiboDB: no such table: Sisan")}));
    EXPECT_EQ(m_enabled, 1);
    EXPECT_TRUE(ledgerMenuItemsVisible());
}

TEST_F(LedgerStoreTest, OpenHandlerResetsTheSharedStateBeforeOpening)
{
    gDBfileName = QStringLiteral("stale");
    gDicSisan.set(1, QStringLiteral("x"));
    gDicIdIndex.set(1, 4);
    gPrinter.SetupDone = true;
    auto *app = qobject_cast<App *>(QCoreApplication::instance());
    ASSERT_TRUE(app);
    app->openHandler();
    EXPECT_EQ(m_ui->messages, QStringList{kNotOpened});
    EXPECT_EQ(gDBfileName, QString());
    EXPECT_TRUE(gDicSisan.isEmpty());
    EXPECT_TRUE(gDicIdIndex.isEmpty());
    EXPECT_FALSE(gPrinter.SetupDone);
    EXPECT_FALSE(gPS.landscape());
    EXPECT_EQ(gSyubetuNo, 0);
    EXPECT_TRUE(GSisanCodeInit);
}

} // namespace
