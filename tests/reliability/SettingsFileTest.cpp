// Settings files of every odd shape, read by the real start-up: each names a ledger that is
// then opened, or counts as an empty name (the open dialog asks); the program never crashes
// and never rewrites the file.

#include "ReliabilityFixture.h"

#include "app/LedgerStore.h"
#include "app/mdlGlobal.h"

#include <QDir>
#include <QFile>
#include <QtEndian>

namespace {

const QString kSettings = QStringLiteral("Quorvela.ini");
const QString kOpenTitle = QString::fromUtf8("家計簿ファイルを開く");
const QString kNotOpened = QString::fromUtf8("家計簿ファイルが開かれませんでした。");

QByteArray lengthThen(qint32 length, const QByteArray &rest)
{
    QByteArray bytes(4, '\0');
    qToLittleEndian<qint32>(length, bytes.data());
    return bytes + rest;
}

QByteArray named(const QByteArray &name)
{
    return lengthThen(static_cast<qint32>(name.size()), name);
}

enum class Outcome
{
    // The open dialog asked (and was cancelled): the file counted as an empty name.
    Asked,
    // The named ledger is open.
    Opened,
    // A file of that name exists but is no ledger: the could-not-connect message.
    CouldNotConnect,
};

struct Shape
{
    const char *what;
    QByteArray bytes;
    Outcome outcome;
};

class SettingsFileTest : public ReliabilityFixture
{
};

TEST_F(SettingsFileTest, EveryOddShapeOpensTheNamedLedgerOrAsksAndIsNeverRewritten)
{
    createLedger(QStringLiteral("Quorvela.sqlf"));
    KakeiboDB.reset();
    QFile::copy(path(QStringLiteral("Quorvela.sqlf")), path(QString::fromUtf8("家計簿 2024.sqlf")));
    writeFile(QStringLiteral("notes.txt"), QByteArray(4096, 'x'));
    QDir(m_dir.path()).mkdir(QStringLiteral("folder"));

    const QByteArray ledger("Quorvela.sqlf");
    const std::vector<Shape> shapes = {
        {"empty", QByteArray(), Outcome::Asked},
        {"one byte", QByteArray("\x0d", 1), Outcome::Asked},
        {"three bytes", QByteArray("\x0d\0\0", 3), Outcome::Asked},
        {"length 0", lengthThen(0, ledger), Outcome::Asked},
        {"length -1", lengthThen(-1, ledger), Outcome::Asked},
        {"length most negative", lengthThen(INT32_MIN, ledger), Outcome::Asked},
        {"length largest", lengthThen(INT32_MAX, ledger), Outcome::Asked},
        {"length one past the bytes", lengthThen(ledger.size() + 1, ledger), Outcome::Asked},
        {"length in big-endian order", QByteArray("\0\0\0\x0d", 4) + ledger, Outcome::Asked},
        {"exact", named(ledger), Outcome::Opened},
        {"UTF-8 name with a blank", named(QString::fromUtf8("家計簿 2024.sqlf").toUtf8()), Outcome::Opened},
        {"bytes after the name", lengthThen(ledger.size(), ledger + "trailing junk\n"), Outcome::Opened},
        {"length one short of the name", lengthThen(ledger.size() - 1, ledger), Outcome::Asked},
        {"name of a missing file", named("gone.sqlf"), Outcome::Asked},
        {"name that is not UTF-8", named("\xff\xfe\x80.sqlf"), Outcome::Asked},
        {"name with a NUL inside", named(QByteArray("Quorvela.sqlf\0x", 15)), Outcome::Asked},
        {"name with a line end", named("Quorvela.sqlf\n"), Outcome::Asked},
        {"name longer than a file name may be", named(QByteArray(300, 'a')), Outcome::Asked},
        {"name of a megabyte", named(QByteArray(1 << 20, 'b')), Outcome::Asked},
        {"absolute name of a missing file", named("/nonexistent/folder/x.sqlf"), Outcome::Asked},
        {"name of a file that is no ledger", named("notes.txt"), Outcome::CouldNotConnect},
        {"name of a folder", named("folder"), Outcome::CouldNotConnect},
        {"name of the settings file itself", named("Quorvela.ini"), Outcome::CouldNotConnect},
    };

    for (const Shape &shape : shapes) {
        SCOPED_TRACE(shape.what);
        restart();
        writeFile(kSettings, shape.bytes);
        OpenKakeiboInit();
        EXPECT_EQ(readFile(kSettings), shape.bytes) << "the settings file was rewritten";
        switch (shape.outcome) {
        case Outcome::Asked:
            EXPECT_EQ(m_ui->fileDialogTitles, QStringList{kOpenTitle});
            EXPECT_EQ(m_ui->messages, QStringList{kNotOpened});
            EXPECT_FALSE(KakeiboDB);
            break;
        case Outcome::Opened:
            EXPECT_TRUE(m_ui->fileDialogTitles.isEmpty());
            EXPECT_TRUE(m_ui->messages.isEmpty()) << m_ui->messages.join(QLatin1Char('\n')).toStdString();
            ASSERT_TRUE(KakeiboDB && KakeiboDB->isConnected());
            EXPECT_EQ(gDicSisan.count(), 2);
            break;
        case Outcome::CouldNotConnect:
            EXPECT_TRUE(m_ui->fileDialogTitles.isEmpty());
            ASSERT_EQ(m_ui->messages.size(), 1);
            EXPECT_TRUE(m_ui->messages[0].endsWith(QString::fromUtf8(" との接続ができませんでした。")))
                << m_ui->messages[0].toStdString();
            EXPECT_FALSE(CheckKakeiboDBConnected());
            break;
        }
    }
    // Nothing was made beside the files the test wrote.
    EXPECT_FALSE(QFile::exists(path(QStringLiteral("gone.sqlf"))));
    EXPECT_EQ(readFile(QStringLiteral("notes.txt")), QByteArray(4096, 'x'));
}

} // namespace
