#include "app/LedgerSchema.h"
#include "app/MainMenuBar.h"
#include "app/MainWindowPort.h"
#include "app/mdlGlobal.h"
#include "platform/SystemError.h"

#include "support/LedgerTestFixture.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <sys/resource.h>

#include <cerrno>
#include <csignal>

namespace {

using LedgerSchemaTest = LedgerTestFixture;

// No file of the process may grow past zero bytes while it lives: every write of a new ledger
// fails (the signal the limit raises is ignored, as the program does).
class NothingMayGrow
{
public:
    NothingMayGrow()
    {
        getrlimit(RLIMIT_FSIZE, &m_saved);
        m_savedHandler = signal(SIGXFSZ, SIG_IGN);
        rlimit none = m_saved;
        none.rlim_cur = 0;
        setrlimit(RLIMIT_FSIZE, &none);
    }
    ~NothingMayGrow()
    {
        setrlimit(RLIMIT_FSIZE, &m_saved);
        signal(SIGXFSZ, m_savedHandler);
    }
    NothingMayGrow(const NothingMayGrow &) = delete;
    NothingMayGrow &operator=(const NothingMayGrow &) = delete;

private:
    rlimit m_saved{};
    sighandler_t m_savedHandler = SIG_DFL;
};

TEST_F(LedgerSchemaTest, ANewLedgerHoldsTheSchemaTextsAndSeedRowsExactly)
{
    createLedger(QStringLiteral("new.sqlf"));
    auto rows = KakeiboDB->select(QStringLiteral("SELECT name, sql FROM sqlite_master ORDER BY rowid"));
    ASSERT_TRUE(rows);
    QStringList names;
    QStringList sql;
    for (; !rows->atEnd(); rows->moveNext()) {
        names << rows->textAt(0);
        sql << rows->textAt(1);
    }
    // No index, view or trigger beyond the four tables.
    EXPECT_EQ(names, (QStringList{"Sisan", "Himoku", "Items", "LastItems"}));
    EXPECT_EQ(sql[0], QString::fromUtf8("CREATE TABLE Sisan (Id Integer PRIMARY KEY , Namae TEXT NOT NULL , "
                                        "SyokiKingaku Integer NOT NULL , Zankin Integer NOT NULL)"));
    EXPECT_EQ(
        sql[2],
        QString::fromUtf8(
            "CREATE TABLE Items (Id Integer PRIMARY KEY , Hizuke INTEGER NOT NULL ,Nen INTEGER NOT NULL , "
            "Tuki INTEGER NOT NULL, Hi INTEGER NOT NULL, SisanNo INTEGER NOT NULL , SyubetuNo INTEGER NOT "
            "NULL , HimokuNo INTEGER, IdouSisanNo INTEGER , IdouId INTEGER   , Nyuukin INTEGER , Syukkin "
            "INTEGER , Bikou TEXT , FOREIGN KEY(SisanNo) REFERENCES Sisan(Id) ON DELETE CASCADE , FOREIGN "
            "KEY(IdouSisanNo) REFERENCES Sisan(Id) ON DELETE CASCADE , FOREIGN KEY(HimokuNo) REFERENCES "
            "Himoku(Id) ON DELETE CASCADE )"));

    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM Sisan")), 2);
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM Himoku")), 76);
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM Himoku WHERE Ucount > 0")), 20);
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM Himoku WHERE Ucount = 0 AND SyubetuNo = 1")), 48);
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM Items")), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM LastItems")), 0);
    EXPECT_EQ(scalar(QStringLiteral("SELECT sum(Id) FROM Himoku")), 3448);
    EXPECT_EQ(gDicSisan.value(1), QString::fromUtf8("現金"));
    EXPECT_EQ(gDicSisan.value(2), QString::fromUtf8("預金"));
    EXPECT_EQ(gDicSisyutu.count(), 63);
    EXPECT_EQ(gDicSyuunyuu.count(), 13);
    EXPECT_EQ(gDicSisyutu.value(9), QString::fromUtf8("通信費/固定電話（ネット）"));
    EXPECT_EQ(gDicSyuunyuu.keys(),
              (std::vector<int32_t>{76, 77, 78, 79, 80, 82, 83, 84, 85, 86, 87, 88, 90}));
    EXPECT_EQ(gDicSisyutu.valueAt(0), QString::fromUtf8(">>食費"));
    EXPECT_EQ(gDicSisyutu.valueAt(1), QString::fromUtf8("食費/食材"));
    EXPECT_TRUE(SisanKoumokuKanri()->isVisible());
    EXPECT_TRUE(reportSubmenuItem()->isVisible());
    EXPECT_FALSE(KakeiboDB->inTransaction());
}

TEST_F(LedgerSchemaTest, ChoosingAnExistingFileReplacesIt)
{
    QFile old(path(QStringLiteral("old.sqlf")));
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("not a ledger");
    old.close();
    createLedger(QStringLiteral("old.sqlf"));
    EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM Himoku")), 76);
    // The ledger is built under another name and renamed: the connection must be on the chosen
    // name, or its journal would go beside a name that no longer exists.
    EXPECT_EQ(KakeiboDB->databaseFile(), path(QStringLiteral("old.sqlf")));
    exec(QStringLiteral("BEGIN IMMEDIATE"));
    exec(QStringLiteral("DELETE FROM LastItems"));
    EXPECT_TRUE(QFile::exists(path(QStringLiteral("old.sqlf-journal"))));
    exec(QStringLiteral("ROLLBACK"));
    EXPECT_EQ(folderEntries(), QStringList{QStringLiteral("old.sqlf")});
}

// SQLite keeps the journal beside the ledger under its name and "-journal", which must fit in
// the folder's limit of 255 bytes too, or every write would fail; the ledger is built under a
// longer name than the chosen one, which must not cost the longest name that works.
TEST_F(LedgerSchemaTest, ANameIsCreatedExactlyWhenItsJournalNameFits)
{
    const QString japanese(1, QChar(0x8CC7)); // three bytes in UTF-8
    const struct
    {
        QString name;
        int bytes;
        bool created;
    } names[] = {
        {QString(242, QLatin1Char('n')) + QStringLiteral(".sqlf"), 247, true},
        {japanese.repeated(81) + QStringLiteral(".sql"), 247, true},
        {QString(243, QLatin1Char('n')) + QStringLiteral(".sqlf"), 248, false},
        {japanese.repeated(81) + QStringLiteral(".sqlf"), 248, false},
        {QString(250, QLatin1Char('n')) + QStringLiteral(".sqlf"), 255, false},
        {japanese.repeated(84) + QStringLiteral(".db"), 255, false},
        // Past the limit itself.
        {japanese.repeated(85) + QStringLiteral(".db"), 258, false},
    };
    for (const auto &row : names) {
        SCOPED_TRACE(row.name.toStdString());
        ASSERT_EQ(QFile::encodeName(row.name).size(), row.bytes);
        m_ui->messages.clear();
        m_ui->fileAnswers = {path(row.name)};
        CreateNewKakeiboDB();
        if (row.created) {
            ASSERT_TRUE(m_ui->messages.isEmpty()) << m_ui->messages.join(QLatin1Char('\n')).toStdString();
            EXPECT_EQ(scalar(QStringLiteral("SELECT count(*) FROM Himoku")), 76);
            // A write needs the journal.
            exec(QStringLiteral("INSERT INTO Sisan VALUES (3, 'written', 0, 0)"));
            EXPECT_EQ(folderEntries(), QStringList{row.name});
        } else {
            EXPECT_EQ(m_ui->messages,
                      QStringList{QString::fromUtf8("新規の家計簿データベースの作成に失敗しました;") +
                                  systemErrorText(ENAMETOOLONG)});
            EXPECT_FALSE(KakeiboDB);
            EXPECT_EQ(folderEntries(), QStringList());
        }
        KakeiboDB.reset();
        QFile::remove(path(row.name));
    }
}

TEST_F(LedgerSchemaTest, CancellingClosesTheOpenLedgerAndSaysSo)
{
    createLedger(QStringLiteral("a.sqlf"));
    int enabled = 0;
    setMainWindowEnabler([&] { ++enabled; });
    CreateNewKakeiboDB();
    setMainWindowEnabler(nullptr);
    EXPECT_EQ(m_ui->fileDialogTitles, QStringList{QString::fromUtf8("家計簿ファイルの新規作成")});
    EXPECT_EQ(m_ui->messages, QStringList{QString::fromUtf8("新規の家計簿ファイルが開かれませんでした。")});
    EXPECT_FALSE(KakeiboDB);
    EXPECT_EQ(enabled, 0);
}

TEST_F(LedgerSchemaTest, AFileThatCannotBeCreatedReportsTheDatabaseMessage)
{
    m_ui->fileAnswers = {path(QStringLiteral("no/such/folder/new.sqlf"))};
    CreateNewKakeiboDB();
    ASSERT_EQ(m_ui->messages.size(), 1);
    EXPECT_TRUE(
        m_ui->messages[0].startsWith(QString::fromUtf8("新規の家計簿データベースの作成に失敗しました;")));
    EXPECT_GT(m_ui->messages[0].size(),
              QString::fromUtf8("新規の家計簿データベースの作成に失敗しました;").size());
}

// A ledger without its tables would trip every later action: a creation that cannot be
// written whole leaves no file and no ledger open, with the failing statement's message.
TEST_F(LedgerSchemaTest, ANewLedgerThatCannotBeWrittenWholeIsRemovedAgain)
{
    int enabled = 0;
    setMainWindowEnabler([&] { ++enabled; });
    m_ui->fileAnswers = {path(QStringLiteral("new.sqlf"))};
    {
        NothingMayGrow limit;
        CreateNewKakeiboDB();
    }
    setMainWindowEnabler(nullptr);

    ASSERT_EQ(m_ui->messages.size(), 1) << m_ui->messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_FALSE(KakeiboDB);
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("new.sqlf"))));
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("new.sqlf-journal"))));
    EXPECT_EQ(enabled, 0);
    EXPECT_FALSE(SisanKoumokuKanri()->isVisible());
    // Nor anything the creation made on the way.
    EXPECT_EQ(folderEntries(), QStringList());
}

// Replacing a ledger by a new one that then cannot be written must not have cost the old one.
TEST_F(LedgerSchemaTest, AFailedCreationOverAnExistingLedgerLeavesItAsItWas)
{
    createLedger(QStringLiteral("kept.sqlf"));
    exec(QStringLiteral("INSERT INTO Sisan VALUES (3, 'kept', 5, 5)"));
    KakeiboDB.reset();
    QFile kept(path(QStringLiteral("kept.sqlf")));
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    const QByteArray before = kept.readAll();
    kept.close();

    m_ui->fileAnswers = {path(QStringLiteral("kept.sqlf"))};
    {
        NothingMayGrow limit;
        CreateNewKakeiboDB();
    }
    ASSERT_EQ(m_ui->messages.size(), 1) << m_ui->messages.join(QLatin1Char('\n')).toStdString();
    EXPECT_FALSE(KakeiboDB);
    ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
    EXPECT_EQ(kept.readAll(), before);
    EXPECT_EQ(folderEntries(), QStringList{QStringLiteral("kept.sqlf")});
}

// A folder at the chosen place can be neither deleted nor replaced: the old refusal, and
// nothing made beside it.
TEST_F(LedgerSchemaTest, AFolderAtTheChosenPlaceIsRefusedAsAFileThatCannotBeDeleted)
{
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(QStringLiteral("taken.sqlf")));
    m_ui->fileAnswers = {path(QStringLiteral("taken.sqlf"))};
    CreateNewKakeiboDB();
    EXPECT_EQ(
        m_ui->messages,
        QStringList{QString::fromUtf8(
            "家計簿ファイルの新規作成のため既存のファイルを削除しようとしましたが、できませんでした。")});
    EXPECT_FALSE(KakeiboDB);
    EXPECT_TRUE(QFileInfo(path(QStringLiteral("taken.sqlf"))).isDir());
    EXPECT_EQ(folderEntries(), QStringList{QStringLiteral("taken.sqlf")});
}

} // namespace
