#include "ledger/BalanceRule.h"

#include "app/mdlGlobal.h"
#include "platform/CheckedSum.h"
#include "platform/Ui.h"

#include <optional>

QString UpdateSisanZankin(int32_t sisanId, const std::optional<EntrySums> &known)
{
    const QString error = QStringLiteral("ERROR");
    if (!KakeiboDB) {
        return error;
    }
    const QString id = QString::number(sisanId);
    EntrySums entrySums;
    if (known) {
        entrySums = *known;
    } else {
        auto sums = KakeiboDB->select(
            QStringLiteral(
                "SELECT  SUM(Nyuukin) as income , SUM(Syukkin) as expenss FROM Items WHERE SisanNo = ") +
            id);
        if (!sums) {
            Ui::instance().message(KakeiboDB->errorMessage());
            return error;
        }
        // 64-bit: years of entries can sum past the 32-bit range.
        entrySums = {sums->int64(QStringLiteral("income")), sums->int64(QStringLiteral("expenss"))};
        if (KakeiboDB->error()) {
            Ui::instance().message(KakeiboDB->errorMessage());
            return error;
        }
    }
    const int64_t income = entrySums.income;
    const int64_t expense = entrySums.expense;
    auto opening = KakeiboDB->select(QStringLiteral("SELECT  SyokiKingaku FROM Sisan WHERE ID = ") + id);
    const int64_t openingAmount = opening ? opening->int64(QStringLiteral("SyokiKingaku")) : 0;
    if (!opening || KakeiboDB->error()) {
        Ui::instance().message(KakeiboDB->errorMessage());
        return error;
    }
    // A balance past the 64-bit limit has no true value to store: the sums fail as SQL's own
    // SUM fails past it, with the same message.
    std::optional<int64_t> balance = checkedSub(income, expense);
    if (balance) {
        balance = checkedAdd(*balance, openingAmount);
    }
    if (!balance) {
        Ui::instance().message(QString::fromLatin1(kIntegerOverflow));
        return error;
    }
    if (!KakeiboDB->execute(QStringLiteral("UPDATE Sisan SET Zankin = ") + QString::number(*balance) +
                            QStringLiteral("  WHERE Id = ") + id)) {
        Ui::instance().message(QStringLiteral("from Method UpdateSisanZankin: ") + KakeiboDB->errorMessage());
        return error;
    }
    return QString::number(*balance);
}
