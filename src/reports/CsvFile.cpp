#include "reports/CsvFile.h"

#include "platform/StagedFile.h"
#include "platform/SystemError.h"

#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>

#include <unistd.h>

QByteArray csvLine(const QStringList &fields)
{
    return fields.join(QStringLiteral(" , ")).toUtf8() + '\n';
}

namespace {

// Over an existing file, QSaveFile's new file takes a name of its own beside the replaced one
// (a link's target): that name plus ".XXXXXX", before it is renamed.
bool temporaryNameFits(const QFileInfo &existing)
{
    const QFileInfo target(existing.canonicalFilePath());
    return QFile::encodeName(target.fileName()).size() + qsizetype(sizeof ".XXXXXX") - 1 <=
           nameLimit(target.absolutePath());
}

} // namespace

std::optional<QString> writeCsvFile(const QString &path, const std::function<QByteArray()> &content)
{
    // QSaveFile would rename its file onto a FIFO, a device or a socket (or the link to one),
    // replacing it; writing into one instead could block for ever.
    const QFileInfo existing(path);
    if (existing.exists() && !existing.isFile() && !existing.isDir()) {
        return QString::fromUtf8(kNotARegularFile);
    }
    // Over a file whose name leaves no room for the temporary one, the replacement would fail
    // only at its end, with no cause of Qt's.
    if (existing.exists() && !temporaryNameFits(existing)) {
        return systemErrorText(ENAMETOOLONG);
    }
    QSaveFile file(path);
    // Unbuffered, so that every byte meets the disk in write() below and its failure is seen
    // there: buffered, the bytes would go out in commit(), whose failed flush Qt does not
    // report, and the empty temporary file would replace the earlier one.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        return file.errorString();
    }
    const QByteArray bytes = content();
    const auto fail = [&file](const QString &error) {
        // Discards the temporary file; the earlier file stays as it was.
        file.cancelWriting();
        return error;
    };
    // A short count is not yet the failure: the write of the rest meets the cause (the
    // file-size limit, the full disk) and Qt gives its text only then.
    for (qint64 done = 0; done < bytes.size();) {
        const qint64 written = file.write(bytes.constData() + done, bytes.size() - done);
        if (written <= 0) {
            return fail(file.errorString());
        }
        done += written;
    }
    if (!file.flush()) {
        return fail(file.errorString());
    }
    // Some file systems (delayed allocation, network shares) refuse the blocks only when they
    // are synced, and commit() ignores its own sync's result: synced here, the rename below
    // puts nothing onto the chosen name that the disk has not taken.
    if (::fsync(file.handle()) != 0) {
        return fail(systemErrorText(errno));
    }
    if (!file.commit()) {
        return file.errorString();
    }
    return std::nullopt;
}
