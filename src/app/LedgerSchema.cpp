#include "app/LedgerSchema.h"

#include "app/LedgerStore.h"
#include "app/MainMenuBar.h"
#include "app/MainWindowPort.h"
#include "app/mdlGlobal.h"
#include "platform/ReplacedDatabase.h"
#include "platform/StagedFile.h"
#include "platform/SystemError.h"
#include "platform/Ui.h"

#include <QFileInfo>

#include <cerrno>
#include <optional>
#include <vector>

namespace {

const QString kCreateFailed = QString::fromUtf8("新規の家計簿データベースの作成に失敗しました;");
const QString kCannotDeleteOld = QString::fromUtf8(
    "家計簿ファイルの新規作成のため既存のファイルを削除しようとしましたが、できませんでした。");

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

// A new ledger that could not be written whole is no ledger: its temporary file goes again
// (with the journal of its transaction) and no ledger is open.
void discardNewLedger(StagedFile &staged)
{
    KakeiboDB.reset();
    staged.discard();
}

// The folder refuses a new file in it, so an existing file there could not be replaced either.
bool folderRefusesChanges(int error)
{
    return error == EACCES || error == EPERM || error == EROFS;
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
    // A name that fits while its journal's does not would give a ledger that can be read but
    // never written; a name past the limit itself cannot be made at all.
    if (!siblingNamesFit(path)) {
        Ui::instance().message(kCreateFailed + systemErrorText(ENAMETOOLONG));
        return;
    }
    // The file at the chosen place stays until the new ledger is complete and renamed onto
    // its name, so that a kill or a failure on the way never leaves a part of a ledger there.
    // What would keep it from being deleted keeps it from being replaced.
    const QFileInfo existing(path);
    const bool replacing = existing.exists() || existing.isSymLink();
    if (existing.isDir()) {
        Ui::instance().message(kCannotDeleteOld);
        return;
    }
    StagedFile staged(path, QString::fromLatin1(ReplacedDatabase::kJournalSuffix));
    if (!staged.create()) {
        Ui::instance().message(replacing && folderRefusesChanges(staged.error())
                                   ? kCannotDeleteOld
                                   : kCreateFailed + LedgerConnection::cannotOpenMessage());
        return;
    }

    KakeiboDB = std::make_unique<LedgerConnection>(staged.path());
    if (!KakeiboDB->createDatabaseFile()) {
        const QString failure = kCreateFailed + KakeiboDB->errorMessage();
        discardNewLedger(staged);
        Ui::instance().message(failure);
        return;
    }
    // One transaction: the new ledger is written whole or not at all, with one disk sync.
    if (const std::optional<QString> failure = writeNewLedger()) {
        discardNewLedger(staged);
        Ui::instance().message(*failure);
        return;
    }
    // Closed before the rename: a connection keeps the name it was opened with for its journal,
    // and the ledger's next transaction must journal beside the chosen name.
    KakeiboDB.reset();
    if (!staged.sync()) {
        discardNewLedger(staged);
        Ui::instance().message(kCreateFailed + LedgerConnection::ioErrorMessage());
        return;
    }
    // What SQLite keeps beside the chosen name would belong to the new ledger after the rename:
    // the replaced file is settled first and kept write-locked until the new one is in place.
    ReplacedDatabase replaced(path);
    if (!replaced.prepare()) {
        discardNewLedger(staged);
        Ui::instance().message(kCreateFailed + replaced.errorMessage());
        return;
    }
    const bool putInPlace = staged.putInPlace();
    replaced.release();
    if (!putInPlace) {
        discardNewLedger(staged);
        Ui::instance().message(replacing ? kCannotDeleteOld
                                         : kCreateFailed + LedgerConnection::ioErrorMessage());
        return;
    }
    KakeiboDB = std::make_unique<LedgerConnection>(path);
    if (!KakeiboDB->connect()) {
        const QString failure = kCreateFailed + KakeiboDB->errorMessage();
        KakeiboDB.reset();
        Ui::instance().message(failure);
        return;
    }

    loadLookupTables(QStringLiteral("from Method CreateKakeiboDB: "));
    enableMainWindowBookkeeping();
    showLedgerMenuItems();
}
