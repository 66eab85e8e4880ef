#include "app/LedgerSchema.h"

#include "app/LedgerStore.h"
#include "app/MainMenuBar.h"
#include "app/MainWindowPort.h"
#include "app/mdlGlobal.h"
#include "platform/Ui.h"

#include <QFile>
#include <QFileInfo>

namespace {

void runReported(const QString &sql, const QString &failurePrefix)
{
    if (!KakeiboDB->execute(sql)) {
        Ui::instance().message(failurePrefix + KakeiboDB->errorMessage());
    }
}

} // namespace

void CreateNewKakeiboDB()
{
    if (KakeiboDB && KakeiboDB->connect()) {
        KakeiboDB->close();
    }
    KakeiboDB.reset();

    const auto chosen = Ui::instance().saveFile(QString::fromUtf8("家計簿ファイルの新規作成"));
    if (!chosen) {
        Ui::instance().message(QString::fromUtf8("新規の家計簿ファイルが開かれませんでした。"));
        return;
    }
    const QString path = *chosen;
    if (QFileInfo::exists(path)) {
        QFile::remove(path);
        if (QFileInfo::exists(path)) {
            Ui::instance().message(QString::fromUtf8(
                "家計簿ファイルの新規作成のため既存のファイルを削除しようとしましたが、できませんでした。"));
            return;
        }
    }

    KakeiboDB = std::make_unique<LedgerConnection>(path);
    if (!KakeiboDB->createDatabaseFile()) {
        Ui::instance().message(QString::fromUtf8("新規の家計簿データベースの作成に失敗しました;") +
                               KakeiboDB->errorMessage());
        return;
    }

    // One transaction: a new ledger is written with one disk sync, and the statements keep
    // their own failure messages.
    Transaction transaction(KakeiboDB.get());
    runReported(QString::fromUtf8(kCreateSisan), QStringLiteral("CreateNewKakeiboDB Create TABLE Sisan ; "));
    for (const char *insert : kSeedSisan) {
        runReported(QString::fromUtf8(insert), QStringLiteral("CreateNewKakeiboDB insert into Sisan ; "));
    }
    runReported(QString::fromUtf8(kCreateHimoku),
                QStringLiteral("CreateNewKakeiboDB Create TABLE Himoku ; "));
    for (const char *row : kSeedHimokuRows) {
        const QString rowText = QString::fromUtf8(row);
        runReported(QStringLiteral("INSERT INTO  Himoku VALUES ( ") + rowText + QStringLiteral(")"),
                    QStringLiteral("CreateNewKakeiboDB insert into Himoku ; ") + rowText);
    }
    QString items;
    for (const char *piece : kCreateItemsPieces) {
        items += QString::fromUtf8(piece);
    }
    runReported(items, QStringLiteral("CreateNewKakeiboDB Create TABLE Items ; "));
    runReported(QString::fromUtf8(kCreateLastItems),
                QStringLiteral("CreateNewKakeiboDB Create TABLE LastItems ; "));
    transaction.commit();

    loadLookupTables(QStringLiteral("from Method CreateKakeiboDB: "));
    enableMainWindowBookkeeping();
    showLedgerMenuItems();
}
