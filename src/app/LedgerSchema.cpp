#include "app/LedgerSchema.h"

#include "app/LedgerStore.h"
#include "app/MainMenuBar.h"
#include "app/MainWindowPort.h"
#include "app/mdlGlobal.h"
#include "platform/Ui.h"

#include <QFile>
#include <QFileInfo>

#include <optional>
#include <vector>

namespace {

const QString kCreateFailed = QString::fromUtf8("新規の家計簿データベースの作成に失敗しました;");

struct Step
{
    QString sql;
    QString failurePrefix;
};

// The statements of a new ledger, in order, each with the text that leads its failure message.
std::vector<Step> creationSteps()
{
    std::vector<Step> steps;
    steps.push_back(
        {QString::fromUtf8(kCreateSisan), QStringLiteral("CreateNewKakeiboDB Create TABLE Sisan ; ")});
    for (const char *insert : kSeedSisan) {
        steps.push_back(
            {QString::fromUtf8(insert), QStringLiteral("CreateNewKakeiboDB insert into Sisan ; ")});
    }
    steps.push_back(
        {QString::fromUtf8(kCreateHimoku), QStringLiteral("CreateNewKakeiboDB Create TABLE Himoku ; ")});
    for (const char *row : kSeedHimokuRows) {
        const QString rowText = QString::fromUtf8(row);
        steps.push_back({QStringLiteral("INSERT INTO  Himoku VALUES ( ") + rowText + QStringLiteral(")"),
                         QStringLiteral("CreateNewKakeiboDB insert into Himoku ; ") + rowText});
    }
    QString items;
    for (const char *piece : kCreateItemsPieces) {
        items += QString::fromUtf8(piece);
    }
    steps.push_back({items, QStringLiteral("CreateNewKakeiboDB Create TABLE Items ; ")});
    steps.push_back({QString::fromUtf8(kCreateLastItems),
                     QStringLiteral("CreateNewKakeiboDB Create TABLE LastItems ; ")});
    return steps;
}

// A new ledger that could not be written whole is no ledger: the file goes again and no
// ledger is open, rather than one without tables that every later action would trip over.
void discardNewLedger(const QString &path)
{
    KakeiboDB->close();
    KakeiboDB.reset();
    QFile::remove(path);
    QFile::remove(path + QStringLiteral("-journal"));
}

// Writes the schema and the seed rows in one transaction; the message of the first failure,
// or none when the ledger was written whole.
std::optional<QString> writeNewLedger()
{
    Transaction transaction(KakeiboDB.get());
    if (!transaction.isActive()) {
        return kCreateFailed + transaction.errorMessage();
    }
    for (const Step &step : creationSteps()) {
        if (!KakeiboDB->execute(step.sql)) {
            return step.failurePrefix + KakeiboDB->errorMessage();
        }
    }
    if (transaction.commit() != Transaction::Outcome::Committed) {
        return kCreateFailed + transaction.errorMessage();
    }
    return std::nullopt;
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

    // One transaction: the new ledger is written whole or not at all, with one disk sync.
    if (const std::optional<QString> failure = writeNewLedger()) {
        Ui::instance().message(*failure);
        discardNewLedger(path);
        return;
    }

    loadLookupTables(QStringLiteral("from Method CreateKakeiboDB: "));
    enableMainWindowBookkeeping();
    showLedgerMenuItems();
}
