#include "app/ShownRows.h"

#include "platform/Ui.h"

namespace {

// The row with the Id, read with the statement's columns; reader turns the current row into
// the description.
template <typename Row, typename Reader>
StoredRow<Row> readById(LedgerConnection &db, const char *table, int32_t id, Reader reader)
{
    StoredRow<Row> stored;
    auto rows = db.select(QStringLiteral("SELECT * FROM ") + QLatin1String(table) +
                          QStringLiteral(" WHERE Id = ") + QString::number(id));
    if (!rows) {
        stored.outcome = StoredRow<Row>::Outcome::Failed;
        return stored;
    }
    if (rows->atEnd()) {
        stored.outcome = db.error() ? StoredRow<Row>::Outcome::Failed : StoredRow<Row>::Outcome::Missing;
        return stored;
    }
    stored.row = reader(*rows);
    // A value that has no reading (a REAL past the 64-bit range) fails the read as the list's
    // read fails.
    stored.outcome = db.error() ? StoredRow<Row>::Outcome::Failed : StoredRow<Row>::Outcome::Found;
    return stored;
}

template <typename Row> Standing standingOf(const StoredRow<Row> &stored, bool asShown)
{
    switch (stored.outcome) {
    case StoredRow<Row>::Outcome::Failed:
        return Standing::Failed;
    case StoredRow<Row>::Outcome::Missing:
        return Standing::Changed;
    case StoredRow<Row>::Outcome::Found:
        break;
    }
    return asShown ? Standing::Stands : Standing::Changed;
}

} // namespace

QString changedChoiceMessage()
{
    return QStringLiteral("選択されたデータは既に変更または削除されています。");
}

StoredRow<ShownEntry> readStoredEntry(LedgerConnection &db, int32_t id)
{
    return readById<ShownEntry>(db, "Items", id, [](const RowSet &rows) {
        ShownEntry entry;
        entry.id = rows.intValue(QStringLiteral("Id"));
        entry.date = rows.text(QStringLiteral("Hizuke"));
        entry.year = rows.intValue(QStringLiteral("Nen"));
        entry.month = rows.intValue(QStringLiteral("Tuki"));
        entry.day = rows.intValue(QStringLiteral("Hi"));
        entry.account = rows.intValue(QStringLiteral("SisanNo"));
        entry.kind = rows.intValue(QStringLiteral("SyubetuNo"));
        entry.subItem = rows.intValue(QStringLiteral("HimokuNo"));
        entry.partnerAccount = rows.intValue(QStringLiteral("IdouSisanNo"));
        entry.partnerEntry = rows.intValue(QStringLiteral("IdouId"));
        entry.received = rows.int64(QStringLiteral("Nyuukin"));
        entry.paid = rows.int64(QStringLiteral("Syukkin"));
        entry.memo = rows.text(QStringLiteral("Bikou"));
        return entry;
    });
}

StoredRow<ShownAccount> readStoredAccount(LedgerConnection &db, int32_t id)
{
    return readById<ShownAccount>(db, "Sisan", id, [](const RowSet &rows) {
        return ShownAccount{rows.intValue(QStringLiteral("Id")), rows.text(QStringLiteral("Namae")),
                            rows.int64(QStringLiteral("SyokiKingaku"))};
    });
}

StoredRow<ShownCategoryItem> readStoredCategoryItem(LedgerConnection &db, int32_t id)
{
    return readById<ShownCategoryItem>(db, "Himoku", id, [](const RowSet &rows) {
        return ShownCategoryItem{rows.intValue(QStringLiteral("Id")),
                                 rows.intValue(QStringLiteral("SyubetuNo")),
                                 rows.intValue(QStringLiteral("Hno")), rows.text(QStringLiteral("Namae")),
                                 rows.intValue(QStringLiteral("Ucount")) > 0};
    });
}

bool standsAsShown(const ShownAccount &stored, const ShownAccount &shown)
{
    return stored.id == shown.id && stored.name == shown.name &&
           (!shown.openingAmount || stored.openingAmount == shown.openingAmount);
}

bool standsAsShown(const ShownCategoryItem &stored, const ShownCategoryItem &shown)
{
    return stored.id == shown.id && stored.kind == shown.kind && stored.name == shown.name &&
           stored.isCategory == shown.isCategory && (!shown.category || stored.category == shown.category);
}

Standing shownRowsStand(LedgerConnection &db, const ShownRows &rows, const QString &site)
{
    const auto settle = [&](Standing standing) {
        if (standing == Standing::Failed) {
            Ui::instance().message(site + db.errorMessage());
        }
        return standing;
    };
    for (const ShownAccount &account : rows.accounts) {
        const auto stored = readStoredAccount(db, account.id);
        const Standing standing = settle(standingOf(stored, standsAsShown(stored.row, account)));
        if (standing != Standing::Stands) {
            return standing;
        }
    }
    for (const ShownCategoryItem &item : rows.categoryItems) {
        const auto stored = readStoredCategoryItem(db, item.id);
        const Standing standing = settle(standingOf(stored, standsAsShown(stored.row, item)));
        if (standing != Standing::Stands) {
            return standing;
        }
    }
    for (const ShownEntry &entry : rows.entries) {
        const auto stored = readStoredEntry(db, entry.id);
        const Standing standing = settle(standingOf(stored, stored.row == entry));
        if (standing != Standing::Stands) {
            return standing;
        }
    }
    return Standing::Stands;
}
