#include "maintenance/AccountMaintenance.h"

#include "app/mdlGlobal.h"
#include "maintenance/MaintenanceSql.h"
#include "platform/AmountInput.h"
#include "platform/CheckedSum.h"
#include "platform/SqlText.h"

namespace {

AccountRow accountFrom(const RowSet &rows)
{
    AccountRow account;
    account.id = rows.intValue(QStringLiteral("Id"));
    account.name = rows.text(QStringLiteral("Namae"));
    account.opening = rows.int64(QStringLiteral("SyokiKingaku"));
    account.balance = rows.int64(QStringLiteral("Zankin"));
    return account;
}

} // namespace

std::vector<AccountRow> readAccounts()
{
    std::vector<AccountRow> accounts;
    auto rows = KakeiboDB->select(QStringLiteral("SELECT * FROM Sisan"));
    if (!rows) {
        showMessage(QStringLiteral("from Method RepopulateLsbSisan: ") + KakeiboDB->errorMessage());
    }
    gDicSisan.clear();
    for (; rows && !rows->atEnd(); rows->moveNext()) {
        AccountRow account = accountFrom(*rows);
        gDicSisan.set(account.id, account.name);
        accounts.push_back(std::move(account));
    }
    return accounts;
}

std::optional<AccountRow> readAccount(int32_t id)
{
    auto rows = KakeiboDB->select(QStringLiteral("SELECT * FROM Sisan WHERE Id = ") + QString::number(id));
    if (!rows) {
        showMessage(QStringLiteral("from Method SisankoumokuSelected: ") + KakeiboDB->errorMessage());
        return std::nullopt;
    }
    if (rows->atEnd()) {
        return std::nullopt;
    }
    return accountFrom(*rows);
}

ShownAccount shownAccount(const AccountRow &account)
{
    return ShownAccount{account.id, account.name, account.opening};
}

bool addAccount(const QString &name, const QString &amountText)
{
    const std::optional<int32_t> amount = parseAmount(amountText);
    if (!amount) {
        showMessage(QStringLiteral("初期金額のデータが数値ではありません"));
        return false;
    }
    if (!storableOrReport(name)) {
        return false;
    }
    const QString value = QString::number(*amount);
    Transaction transaction(KakeiboDB.get());
    if (!beganOrReport(transaction, QStringLiteral("from Method SisanSakujyo: "))) {
        return true;
    }
    if (!KakeiboDB->execute(QStringLiteral("INSERT INTO Sisan (Namae,SyokiKingaku,Zankin) VALUES( ") +
                            sqlQuote(name) + QLatin1Char(',') + value + QLatin1Char(',') + value +
                            QLatin1Char(')'))) {
        showMessage(QStringLiteral("from Method SisanSakujyo: ") + KakeiboDB->errorMessage());
        // An add counts as finished also when its insert failed: the panel closes.
        return true;
    }
    commitOrReport(transaction, QStringLiteral("from Method SisanSakujyo: "));
    return true;
}

bool editAccount(const ShownAccount &shown, const QString &name, const QString &amountText)
{
    const QString refusal = QStringLiteral("from SisanHensyuu 初期金額  のデータが数値ではありません ");
    const std::optional<int32_t> amount = parseAmount(amountText);
    if (!amount) {
        showMessage(refusal);
        return false;
    }
    if (!storableOrReport(name)) {
        return false;
    }
    const QString idText = QString::number(shown.id);
    Transaction transaction(KakeiboDB.get());
    if (!beganOrReport(transaction, QStringLiteral("from Method SisanHensyuu: "))) {
        return false;
    }
    const QString readFailed = QStringLiteral("from SisanHensyuu ");
    const Standing standing = shownRowsStandOrReport(transaction, ShownRows{{shown}, {}, {}}, readFailed);
    if (standing != Standing::Stands) {
        return standing == Standing::Changed;
    }
    auto rows =
        KakeiboDB->select(QStringLiteral("SELECT  SyokiKingaku , Zankin FROM Sisan  WHERE Id = ") + idText);
    if (!rows) {
        showMessage(readFailed + KakeiboDB->errorMessage());
        return false;
    }
    if (rows->atEnd()) {
        // The row stood a moment ago in this transaction: only a failed step misses it.
        if (KakeiboDB->error()) {
            showMessage(readFailed + KakeiboDB->errorMessage());
        }
        return false;
    }
    const int64_t opening = rows->int64(QStringLiteral("SyokiKingaku"));
    const int64_t stored = rows->int64(QStringLiteral("Zankin"));
    if (KakeiboDB->error()) {
        showMessage(readFailed + KakeiboDB->errorMessage());
        return false;
    }
    rows.reset();
    // The balance shifted past the 64-bit limit has no true value to store: the values read
    // fail as a sum past the limit does, and nothing is written.
    std::optional<int64_t> balance = checkedSub(*amount, opening);
    if (balance) {
        balance = checkedAdd(*balance, stored);
    }
    if (!balance) {
        showMessage(readFailed + QString::fromLatin1(kIntegerOverflow));
        return false;
    }
    if (!KakeiboDB->execute(QStringLiteral("UPDATE Sisan SET Namae = ") + sqlQuote(name) +
                            QStringLiteral(",SyokiKingaku= ") + QString::number(*amount) +
                            QStringLiteral(",Zankin = ") + QString::number(*balance) +
                            QStringLiteral("  WHERE Id = ") + idText)) {
        const QString message = KakeiboDB->errorMessage();
        showMessage(QStringLiteral("from Method SisanHensyuu: ") + message);
        showMessage(message);
        return false;
    }
    return commitOrReport(transaction, QStringLiteral("from Method SisanHensyuu: "));
}

bool deleteAccountWithEntries(const ShownAccount &shown)
{
    const QString entriesFailed = QStringLiteral("from SisanSakujyo データを削除できませんでいた。");
    const QString idText = QString::number(shown.id);
    Transaction transaction(KakeiboDB.get());
    if (!beganOrReport(transaction, entriesFailed)) {
        return false;
    }
    // Another program may have deleted or changed the account since the dialog listed it, and
    // a new account takes a freed Id at once: the delete would take that one's entries.
    const Standing standing = shownRowsStandOrReport(transaction, ShownRows{{shown}, {}, {}}, entriesFailed);
    if (standing != Standing::Stands) {
        return standing == Standing::Changed;
    }

    // The accounts that hold the other halves of its transfer pairs lose entries too. Without
    // this list their balances could not be recomputed, so a failed read deletes nothing.
    std::vector<int32_t> accounts{shown.id};
    auto partners =
        KakeiboDB->select(QStringLiteral("SELECT DISTINCT SisanNo FROM Items WHERE IdouSisanNo = ") + idText);
    if (!partners) {
        showMessage(entriesFailed);
        return false;
    }
    for (; !partners->atEnd(); partners->moveNext()) {
        addOnce(accounts, partners->intAt(0));
    }
    if (KakeiboDB->error()) {
        showMessage(entriesFailed);
        return false;
    }
    partners.reset();

    if (!KakeiboDB->execute(QStringLiteral("DELETE FROM Items WHERE (SisanNo = ") + idText +
                            QStringLiteral(") OR  ( IdouSisanNo = ") + idText + QLatin1Char(')'))) {
        showMessage(entriesFailed);
        return false;
    }
    if (!recomputeBalances(accounts)) {
        return false;
    }
    if (!KakeiboDB->execute(QStringLiteral("DELETE FROM Sisan WHERE Id = ") + idText)) {
        showMessage(QStringLiteral("from SusanSakujyo データを削除できませんでいた。"));
        return false;
    }
    return commitOrReport(transaction, QStringLiteral("from SusanSakujyo データを削除できませんでいた。"));
}
