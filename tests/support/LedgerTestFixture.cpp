#include "support/LedgerTestFixture.h"

#include "app/LedgerSchema.h"
#include "app/MainMenuBar.h"
#include "app/mdlGlobal.h"
#include "platform/DataFolder.h"

#include <QDir>

#include <sqlite3.h>

void LedgerTestFixture::SetUp()
{
    ASSERT_TRUE(m_dir.isValid());
    setDataFolder(m_dir.path());
    resetGlobals();
    MainMenuBar::destroyInstance();
    MainMenuBar::instance();
    auto ui = std::make_unique<ScriptedUi>();
    m_ui = ui.get();
    Ui::install(std::move(ui));
}

void LedgerTestFixture::TearDown()
{
    if (KakeiboDB && KakeiboDB->isConnected()) {
        EXPECT_FALSE(KakeiboDB->inTransaction()) << "a routine returned with a transaction open";
    }
    resetGlobals();
    Ui::install(nullptr);
    m_ui = nullptr;
}

QString LedgerTestFixture::path(const QString &name) const
{
    return m_dir.filePath(name);
}

void LedgerTestFixture::createLedger(const QString &file)
{
    m_ui->fileAnswers.push_back(path(file));
    CreateNewKakeiboDB();
    ASSERT_TRUE(KakeiboDB && KakeiboDB->isConnected())
        << m_ui->messages.join(QLatin1Char('\n')).toStdString();
    ASSERT_TRUE(m_ui->messages.isEmpty()) << m_ui->messages.join(QLatin1Char('\n')).toStdString();
    m_ui->fileDialogTitles.clear();
}

void LedgerTestFixture::exec(const QString &sql)
{
    ASSERT_TRUE(KakeiboDB->execute(sql)) << KakeiboDB->errorMessage().toStdString();
}

qint64 LedgerTestFixture::scalar(const QString &sql)
{
    auto rows = KakeiboDB->select(sql);
    EXPECT_TRUE(rows.has_value()) << KakeiboDB->errorMessage().toStdString();
    if (!rows || rows->atEnd()) {
        return 0;
    }
    return rows->int64At(0);
}

QStringList LedgerTestFixture::folderEntries(const QString &folder) const
{
    return QDir(folder.isEmpty() ? m_dir.path() : path(folder))
        .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

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
