#include "ledger/ActionBasis.h"

#include "ledger/EntryWriter.h"
#include "platform/Ui.h"

#include <QStringList>

namespace {

QString number(int32_t value)
{
    return QString::number(value);
}

} // namespace

ActionBasis transferBasis(const TransferRows &rows, int32_t from, int32_t to)
{
    return ActionBasis{{from, to},
                       {},
                       {BasisEntry{rows.sourceId, kTransferOut, from, to, rows.destinationId},
                        BasisEntry{rows.destinationId, kTransferIn, to, from, rows.sourceId}}};
}

Standing rowStands(LedgerConnection &db, const QString &query, const QString &site)
{
    const auto rows = db.select(query);
    if (!rows) {
        Ui::instance().message(site + db.errorMessage());
        return Standing::Failed;
    }
    return rows->atEnd() ? Standing::Changed : Standing::Stands;
}

Standing basisStands(LedgerConnection &db, const ActionBasis &basis, const QString &site)
{
    QStringList queries;
    for (const int32_t account : basis.accounts) {
        queries << QStringLiteral("SELECT Id FROM Sisan WHERE Id = ") + number(account);
    }
    // A category (Ucount above 0) takes no entries; NULL or text reads as 0, as the lists
    // read it.
    for (const ShownSubItem &item : basis.subItems) {
        queries << QStringLiteral("SELECT Id FROM Himoku WHERE Id = ") + number(item.id) +
                       QStringLiteral(" AND SyubetuNo = ") + number(item.kind) +
                       QStringLiteral(" AND IFNULL(CAST(Ucount AS INTEGER), 0) <= 0");
    }
    for (const BasisEntry &entry : basis.entries) {
        queries << QStringLiteral("SELECT Id FROM Items WHERE Id = ") + number(entry.id) +
                       QStringLiteral(" AND SyubetuNo = ") + number(entry.kind) +
                       QStringLiteral(" AND SisanNo = ") + number(entry.account) +
                       QStringLiteral(" AND IFNULL(IdouSisanNo, 0) = ") + number(entry.partnerAccount) +
                       QStringLiteral(" AND IFNULL(IdouId, 0) = ") + number(entry.partnerEntry);
    }
    for (const QString &query : queries) {
        const Standing standing = rowStands(db, query, site);
        if (standing != Standing::Stands) {
            return standing;
        }
    }
    return Standing::Stands;
}
