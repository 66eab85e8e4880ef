// A report's CSV file chosen over an earlier file, written where the bytes cannot go: a file
// that may not grow, a full disk. The command says why with its site's message, and the
// earlier file stays byte for byte, with no temporary file left beside it.

#include "ReliabilityFixture.h"

#include "app/mdlGlobal.h"
#include "platform/StagedFile.h"
#include "platform/SystemError.h"
#include "reports/AssetReport.h"
#include "reports/CsvFile.h"
#include "reports/PageModel.h"
#include "reports/YearlyReport.h"
#include "reports/wndPrev.h"

#include <QCoreApplication>
#include <QDataStream>
#include <QDir>

#include <cerrno>
#include <cstring>
#include <functional>

#include <sys/mount.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The report commands that write a CSV file, with the text their failure message begins with.
struct CsvCommand
{
    const char *what;
    int32_t report;
    const char *site;
};

const CsvCommand kCommands[] = {
    {"asset report", kAssetReport, kAssetCsvFailure},
    {"yearly report", kYearlyReport, kYearlyCsvFileFailure},
};

// The type bits of what the name holds itself (a link as a link), or 0 when it holds nothing.
mode_t typeAt(const QString &file)
{
    struct stat info;
    return ::lstat(QFile::encodeName(file).constData(), &info) == 0 ? info.st_mode & S_IFMT : 0;
}

// A special file made at a name: false where the system refuses to make it here.
struct SpecialFile
{
    const char *what;
    std::function<bool(const QString &file)> make;
};

bool makeSocket(const QString &file)
{
    const QByteArray name = QFile::encodeName(file);
    sockaddr_un address{};
    if (name.size() >= static_cast<qsizetype>(sizeof address.sun_path)) {
        return false;
    }
    address.sun_family = AF_UNIX;
    std::copy(name.begin(), name.end(), address.sun_path);
    const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    const bool bound = fd >= 0 && ::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    if (fd >= 0) {
        ::close(fd);
    }
    return bound;
}

const SpecialFile kSpecialFiles[] = {
    {"a FIFO", [](const QString &file) { return ::mkfifo(QFile::encodeName(file).constData(), 0644) == 0; }},
    {"a link to a FIFO",
     [](const QString &file) {
         const QString fifo = file + QStringLiteral(".fifo");
         return ::mkfifo(QFile::encodeName(fifo).constData(), 0644) == 0 && QFile::link(fifo, file);
     }},
    {"a socket", makeSocket},
    // The null device's numbers: writing into it would lose nothing either.
    {"a character device",
     [](const QString &file) {
         return ::mknod(QFile::encodeName(file).constData(), S_IFCHR | 0666, makedev(1, 3)) == 0;
     }},
};

// The file the chosen name already holds, whose bytes every failed command must leave as they are.
const QByteArray kEarlierFile = QByteArray("earlier report , 1 , 2 , 3\n").repeated(200);

class CsvWriteFailureTest : public ReliabilityFixture
{
protected:
    void SetUp() override
    {
        ReliabilityFixture::SetUp();
        createLedger(kLedger);
        addSampleEntries(60);
    }

    void TearDown() override
    {
        if (wndPrev::exists()) {
            wndPrev::instance()->close();
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        ReliabilityFixture::TearDown();
    }

    // A folder holding only the earlier file; its path.
    QString earlierFileIn(const QString &folder)
    {
        EXPECT_TRUE(QDir().mkpath(path(folder)));
        const QString file = folder + QStringLiteral("/report.csv");
        writeFile(file, kEarlierFile);
        return file;
    }

    // The earlier file byte for byte, and nothing else in its folder (QSaveFile's temporary
    // files are hidden names beside the target).
    void expectEarlierFileAlone(const QString &folder)
    {
        const QByteArray now = readFile(folder + QStringLiteral("/report.csv"));
        EXPECT_TRUE(now == kEarlierFile) << "the earlier file now holds " << now.size() << " bytes: \""
                                         << now.left(40).toStdString() << '"';
        EXPECT_EQ(folderEntries(folder), QStringList{QStringLiteral("report.csv")});
    }

    // Every name in the folder with the kind of file it holds itself (a link as a link).
    QStringList namesAndKinds(const QString &folder) const
    {
        QStringList entries;
        for (const QString &name : folderEntries(folder)) {
            entries.append(name + QStringLiteral(": ") +
                           QString::number(typeAt(path(folder + QLatin1Char('/') + name)), 8));
        }
        return entries;
    }

    static inline const QString kLedger = QStringLiteral("ledger.sqlf");
};

TEST_F(CsvWriteFailureTest, AFileThatMayNotGrowKeepsTheEarlierFileAndSaysWhy)
{
    // No byte at all, and one byte: then the write stops short, and the cause is met only by
    // the write of the rest.
    const rlim_t limits[] = {0, 1};
    QStringList folders;
    for (rlim_t limit : limits) {
        for (const CsvCommand &command : kCommands) {
            folders.append(QStringLiteral("capped-%1-%2").arg(limit).arg(command.report));
            earlierFileIn(folders.last());
        }
    }
    // A connection must not cross a fork: the child opens the ledger as a start does.
    KakeiboDB.reset();
    // A signal that ends the child fails the test.
    const ChildEnd end = runInChild([&] {
        reopen(kLedger);
        if (!KakeiboDB || !KakeiboDB->isConnected()) {
            _exit(2);
        }
        QByteArray report;
        QDataStream out(&report, QIODevice::WriteOnly);
        int run = 0;
        for (rlim_t limit : limits) {
            for (const CsvCommand &command : kCommands) {
                limitFileSize(limit);
                out << writeCsvThroughTheWindow(command.report,
                                                path(folders[run++] + QStringLiteral("/report.csv")));
            }
        }
        return report;
    });
    ASSERT_FALSE(WIFSIGNALED(end.status)) << "the program was ended by signal " << WTERMSIG(end.status);
    ASSERT_TRUE(WIFEXITED(end.status) && WEXITSTATUS(end.status) == 0) << "status " << end.status;

    QDataStream in(end.report);
    int run = 0;
    for (rlim_t limit : limits) {
        for (const CsvCommand &command : kCommands) {
            SCOPED_TRACE(testing::Message() << command.what << ", limit " << limit);
            QStringList messages;
            in >> messages;
            ASSERT_EQ(in.status(), QDataStream::Ok) << "no report from the child";
            EXPECT_EQ(lines(messages), lines({QString::fromUtf8(command.site) + systemErrorText(EFBIG)}));
            expectEarlierFileAlone(folders[run++]);
        }
    }
}

TEST_F(CsvWriteFailureTest, AFullDiskKeepsTheEarlierFileAndSaysWhy)
{
    const QString small = QStringLiteral("small");
    QDir().mkpath(path(small));
    if (!mountSmallFolder(path(small), "64k")) {
        GTEST_SKIP() << "no permission to mount a small file system here (needs CAP_SYS_ADMIN)";
    }
    QStringList folders;
    for (const CsvCommand &command : kCommands) {
        folders.append(small + QStringLiteral("/full-%1").arg(command.report));
        earlierFileIn(folders.last());
    }
    fillUp(path(small + QStringLiteral("/filler")));
    // Qt words a full disk itself, in the language of the translation the program installs.
    const QString fullDisk = QCoreApplication::translate("QIODevice", "No space left on device");
    for (size_t i = 0; i < std::size(kCommands); ++i) {
        const CsvCommand &command = kCommands[i];
        SCOPED_TRACE(command.what);
        const QStringList messages = writeCsvThroughTheWindow(
            command.report, path(folders[static_cast<int>(i)] + QStringLiteral("/report.csv")));
        EXPECT_EQ(lines(messages), lines({QString::fromUtf8(command.site) + fullDisk}));
        expectEarlierFileAlone(folders[static_cast<int>(i)]);
    }
    umount2(QFile::encodeName(path(small)).constData(), MNT_DETACH);
}

TEST_F(CsvWriteFailureTest, ANameThatHoldsNoRegularFileIsNeverReplacedAndNeverBlocks)
{
    int made = 0;
    for (const SpecialFile &special : kSpecialFiles) {
        for (const CsvCommand &command : kCommands) {
            SCOPED_TRACE(testing::Message() << command.what << " over " << special.what);
            const QString folder = QStringLiteral("special-%1-%2").arg(made++).arg(command.report);
            ASSERT_TRUE(QDir().mkpath(path(folder)));
            const QString file = path(folder + QStringLiteral("/report.csv"));
            if (!special.make(file)) {
                ADD_FAILURE() << "could not be made here: " << std::strerror(errno);
                continue;
            }
            const QStringList before = namesAndKinds(folder);
            const QStringList messages = writeCsvThroughTheWindow(command.report, file);
            EXPECT_EQ(lines(messages),
                      lines({QString::fromUtf8(command.site) + QString::fromUtf8(kNotARegularFile)}));
            // Nothing replaced, nothing added.
            EXPECT_EQ(namesAndKinds(folder), before);
        }
    }
}

TEST_F(CsvWriteFailureTest, ANameNearTheLimitIsWrittenOrNamesItsCause)
{
    const long limit = nameLimit(m_dir.path());
    int run = 0;
    // The temporary file's name is longer than the chosen one: from some length on it cannot
    // be made beside it.
    for (long length = limit - 8; length <= limit; ++length) {
        for (const CsvCommand &command : kCommands) {
            SCOPED_TRACE(testing::Message() << command.what << ", a name of " << length << " bytes");
            const QString folder = QStringLiteral("long-%1").arg(run++);
            ASSERT_TRUE(QDir().mkpath(path(folder)));
            const QString name = QString(length - 4, QLatin1Char('r')) + QStringLiteral(".csv");
            const QString file = folder + QLatin1Char('/') + name;
            writeFile(file, kEarlierFile);
            const QStringList messages = writeCsvThroughTheWindow(command.report, path(file));
            if (messages.isEmpty()) {
                EXPECT_NE(readFile(file), kEarlierFile);
            } else {
                EXPECT_EQ(lines(messages),
                          lines({QString::fromUtf8(command.site) + systemErrorText(ENAMETOOLONG)}));
                EXPECT_TRUE(readFile(file) == kEarlierFile);
            }
            EXPECT_EQ(folderEntries(folder), QStringList{name});
        }
    }
}

} // namespace
