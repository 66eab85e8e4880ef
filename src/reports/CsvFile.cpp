#include "reports/CsvFile.h"

#include <QSaveFile>

QByteArray csvLine(const QStringList &fields)
{
    return fields.join(QStringLiteral(" , ")).toUtf8() + '\n';
}

std::optional<QString> writeCsvFile(const QString &path, const std::function<QByteArray()> &content)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        return file.errorString();
    }
    const QByteArray bytes = content();
    if (file.write(bytes) != bytes.size()) {
        const QString error = file.errorString();
        file.cancelWriting();
        return error;
    }
    if (!file.commit()) {
        return file.errorString();
    }
    return std::nullopt;
}
