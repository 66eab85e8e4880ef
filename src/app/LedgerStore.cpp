#include "app/LedgerStore.h"

#include "app/MainMenuBar.h"
#include "app/MainWindowPort.h"
#include "app/mdlGlobal.h"
#include "platform/DataFolder.h"
#include "platform/Ui.h"

#include <QFile>
#include <QFileInfo>
#include <QtEndian>

namespace {

const QString kOpenTitle = QString::fromUtf8("家計簿ファイルを開く");
const QString kNotOpened = QString::fromUtf8("家計簿ファイルが開かれませんでした。");
const QString kCouldNotConnect = QString::fromUtf8(" との接続ができませんでした。");

// Makes a new connection to the file and connects it; on failure shows the could-not-connect
// message. KakeiboDB keeps the connection either way.
bool connectLedger(const QString &path)
{
    KakeiboDB = std::make_unique<LedgerConnection>(path);
    if (KakeiboDB->connect()) {
        return true;
    }
    Ui::instance().message(KakeiboDB->databaseName() + kCouldNotConnect);
    return false;
}

} // namespace

QString decodeSettingsFile(const QByteArray &bytes)
{
    if (bytes.size() < 4) {
        return QString();
    }
    const qint32 length = qFromLittleEndian<qint32>(bytes.constData());
    if (length <= 0 || length > bytes.size() - 4) {
        return QString();
    }
    return QString::fromUtf8(bytes.constData() + 4, length);
}

QByteArray encodeSettingsFile(const QString &name)
{
    const QByteArray utf8 = name.toUtf8();
    QByteArray bytes(4, '\0');
    qToLittleEndian<qint32>(static_cast<qint32>(utf8.size()), bytes.data());
    return bytes + utf8;
}

void OpenKakeiboInit()
{
    const QString settings = bareFile(QString::fromLatin1(kSettingsFileName));
    if (QFileInfo::exists(settings)) {
        // An unreadable or damaged file counts as an empty name, and is never rewritten.
        QFile file(settings);
        QByteArray bytes;
        if (file.open(QIODevice::ReadOnly)) {
            bytes = file.readAll();
        }
        gDBfileName = decodeSettingsFile(bytes);
        OpenKakeiboDB(gDBfileName);
        return;
    }
    if (CreateKakeiboInit()) {
        OpenKakeiboDB(gDBfileName);
    }
}

bool CreateKakeiboInit()
{
    QString path = bareFile(QString::fromLatin1(kDefaultLedgerFileName));
    if (!QFileInfo::exists(path)) {
        const auto chosen = Ui::instance().openFile(kOpenTitle);
        if (!chosen) {
            Ui::instance().message(kNotOpened);
            return false;
        }
        path = *chosen;
    }
    gDBfileName = QFileInfo(path).fileName();
    if (!connectLedger(path)) {
        return false;
    }
    SaveKakeiboIni();
    return true;
}

void SaveKakeiboIni()
{
    const QString path = bareFile(QString::fromLatin1(kSettingsFileName));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        return;
    }
    const QByteArray bytes = encodeSettingsFile(gDBfileName);
    const bool written = file.write(bytes) == bytes.size() && file.flush();
    file.close();
    if (!written || file.error() != QFileDevice::NoError) {
        // A half-written file would be read back as a wrong name at every later start.
        file.remove();
    }
}

void OpenKakeiboDB(const QString &name)
{
    if (KakeiboDB && KakeiboDB->connect()) {
        KakeiboDB->close();
    }
    KakeiboDB.reset();

    QString path = bareFile(gDBfileName);
    if (name.isEmpty() || gDBfileName.isEmpty() || !QFileInfo::exists(path)) {
        const auto chosen = Ui::instance().openFile(kOpenTitle);
        if (!chosen) {
            Ui::instance().message(kNotOpened);
            return;
        }
        path = *chosen;
    }
    if (!connectLedger(path)) {
        return;
    }
    loadLookupTables(QString::fromUtf8("from Method OpenKakeiboDB: "));
    enableMainWindowBookkeeping();
    showLedgerMenuItems();
}

void loadLookupTables(const QString &messagePrefix)
{
    gDicSisyutu.clear();
    gDicSyuunyuu.clear();
    if (auto rows = KakeiboDB->select(
            QStringLiteral("SELECT * FROM Himoku ORDER BY SyubetuNo ASC ,Hno ASC,Ucount DESC,Id ASC"))) {
        const int idColumn = rows->columnIndex(QStringLiteral("Id"));
        const int kindColumn = rows->columnIndex(QStringLiteral("SyubetuNo"));
        const int nameColumn = rows->columnIndex(QStringLiteral("Namae"));
        const int countColumn = rows->columnIndex(QStringLiteral("Ucount"));
        for (; !rows->atEnd(); rows->moveNext()) {
            const int32_t kind = rows->intAt(kindColumn);
            LookupTable<QString> *target = kind == 1 ? &gDicSisyutu : kind == 2 ? &gDicSyuunyuu : nullptr;
            if (!target) {
                continue;
            }
            const QString name = rows->textAt(nameColumn);
            target->set(rows->intAt(idColumn),
                        rows->intAt(countColumn) > 0 ? QStringLiteral(">>") + name : name);
        }
    } else {
        Ui::instance().message(messagePrefix + KakeiboDB->errorMessage());
    }

    gDicSisan.clear();
    if (auto rows = KakeiboDB->select(QStringLiteral("SELECT * FROM Sisan"))) {
        const int idColumn = rows->columnIndex(QStringLiteral("Id"));
        const int nameColumn = rows->columnIndex(QStringLiteral("Namae"));
        for (; !rows->atEnd(); rows->moveNext()) {
            gDicSisan.set(rows->intAt(idColumn), rows->textAt(nameColumn));
        }
    } else {
        Ui::instance().message(messagePrefix + KakeiboDB->errorMessage());
    }
}

bool CheckKakeiboDBConnected()
{
    if (!KakeiboDB) {
        return false;
    }
    if (KakeiboDB->connect()) {
        return true;
    }
    Ui::instance().message(KakeiboDB->errorMessage());
    return false;
}
