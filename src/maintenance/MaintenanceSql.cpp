#include "maintenance/MaintenanceSql.h"

#include "app/mdlGlobal.h"
#include "ledger/BalanceRule.h"
#include "platform/LedgerConnection.h"
#include "platform/SqlText.h"
#include "platform/Ui.h"

#include <algorithm>

void showMessage(const QString &text)
{
    Ui::instance().message(text);
}

bool storableOrReport(const QString &text)
{
    if (isStorableText(text)) {
        return true;
    }
    showMessage(unstorableTextMessage());
    return false;
}

void addOnce(std::vector<int32_t> &accounts, int32_t account)
{
    if (std::find(accounts.begin(), accounts.end(), account) == accounts.end()) {
        accounts.push_back(account);
    }
}

bool recomputeBalances(const std::vector<int32_t> &accounts)
{
    for (const int32_t account : accounts) {
        if (UpdateSisanZankin(account) == QLatin1String("ERROR")) {
            return false;
        }
    }
    return true;
}

bool beganOrReport(const Transaction &transaction, const QString &prefix)
{
    if (transaction.isActive()) {
        return true;
    }
    Ui::instance().message(prefix + transaction.errorMessage());
    return false;
}

Standing shownRowsStandOrReport(Transaction &transaction, const ShownRows &rows, const QString &prefix)
{
    const Standing standing = shownRowsStand(*KakeiboDB, rows, prefix);
    if (standing == Standing::Changed) {
        transaction.rollback();
        showMessage(changedChoiceMessage());
    }
    return standing;
}

bool commitOrReport(Transaction &transaction, const QString &prefix)
{
    if (transaction.commit() == Transaction::Outcome::Committed) {
        return true;
    }
    Ui::instance().message(prefix + transaction.errorMessage());
    return false;
}
