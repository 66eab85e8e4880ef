#include "platform/DataFolder.h"

#include <QDir>
#include <QStandardPaths>

namespace {
QString &folderRef()
{
    static QString folder;
    return folder;
}
} // namespace

void setDataFolder(const QString &folder)
{
    QDir().mkpath(folder);
    folderRef() = QDir(folder).absolutePath();
}

QString dataFolder()
{
    if (folderRef().isEmpty()) {
        setDataFolder(defaultDataFolder());
    }
    return folderRef();
}

QString bareFile(const QString &name)
{
    return QDir(dataFolder()).filePath(name);
}

QString defaultDataFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}
