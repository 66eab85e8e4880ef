#include "platform/StagedFile.h"

#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <cstdio>

#include <fcntl.h>
#include <unistd.h>

namespace {

// Syncs a file or a folder to the disk; the error number, or 0.
int syncPath(const QString &path, int flags)
{
    const int fd = ::open(QFile::encodeName(path).constData(), flags | O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    const int result = ::fsync(fd) == 0 ? 0 : errno;
    ::close(fd);
    return result;
}

constexpr int kSuffixLength = 6;
// The dot before the name, the dot before the suffix, and the suffix.
constexpr int kAddedLength = 2 + kSuffixLength;

QString randomSuffix()
{
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    QString suffix;
    for (int i = 0; i < kSuffixLength; ++i) {
        suffix += QLatin1Char(kLetters[QRandomGenerator::global()->bounded(int(sizeof kLetters) - 1)]);
    }
    return suffix;
}

} // namespace

long nameLimit(const QString &folder)
{
    const long limit = ::pathconf(QFile::encodeName(folder).constData(), _PC_NAME_MAX);
    // Linux's file systems, where the folder cannot tell.
    return limit > 0 ? limit : NAME_MAX;
}

StagedFile::StagedFile(const QString &target, const QString &siblingSuffix)
    : m_target(QFileInfo(target).absoluteFilePath()), m_siblingSuffix(siblingSuffix)
{}

StagedFile::~StagedFile()
{
    discard();
}

bool StagedFile::create()
{
    const QFileInfo target(m_target);
    // The temporary name is longer than the target's; a target name near the file system's
    // limit gives a shortened one, so that every name the target can have can be staged.
    QString name = target.fileName();
    const long limit = nameLimit(target.absolutePath());
    const qsizetype added = kAddedLength + QFile::encodeName(m_siblingSuffix).size();
    while (!name.isEmpty() && QFile::encodeName(name).size() + added > limit) {
        name.chop(name.size() >= 2 && name.back().isLowSurrogate() ? 2 : 1);
    }
    const QString stem = target.absolutePath() + QStringLiteral("/.") + name + QLatin1Char('.');
    // O_EXCL: a name some other file already has (a leftover of an earlier run, say) is never
    // taken over; 0644 less the umask, as SQLite gives a database file it creates itself.
    for (int attempt = 0; attempt < 100; ++attempt) {
        const QString candidate = stem + randomSuffix();
        const int fd =
            ::open(QFile::encodeName(candidate).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
        if (fd >= 0) {
            ::close(fd);
            m_path = candidate;
            m_error = 0;
            return true;
        }
        m_error = errno;
        if (m_error != EEXIST) {
            return false;
        }
    }
    return false;
}

bool StagedFile::sync()
{
    m_error = m_path.isEmpty() ? ENOENT : syncPath(m_path, O_RDONLY);
    return m_error == 0;
}

bool StagedFile::putInPlace()
{
    if (m_path.isEmpty()) {
        m_error = ENOENT;
        return false;
    }
    if (std::rename(QFile::encodeName(m_path).constData(), QFile::encodeName(m_target).constData()) != 0) {
        m_error = errno;
        return false;
    }
    m_path.clear();
    // The rename is durable once the folder is synced. The file is whole under its name by
    // now, so a folder that cannot be synced (some file systems refuse it) fails nothing.
    syncPath(QFileInfo(m_target).absolutePath(), O_RDONLY | O_DIRECTORY);
    return true;
}

void StagedFile::discard()
{
    if (!m_path.isEmpty()) {
        QFile::remove(m_path);
        if (!m_siblingSuffix.isEmpty()) {
            QFile::remove(m_path + m_siblingSuffix);
        }
        m_path.clear();
    }
}
