#include "maintenance/CategoryMaintenance.h"

#include "app/mdlGlobal.h"
#include "maintenance/MaintenanceSql.h"
#include "platform/SqlText.h"

namespace {

CategoryRow rowFrom(const RowSet &rows)
{
    CategoryRow row;
    row.id = rows.intValue(QStringLiteral("Id"));
    row.kind = rows.intValue(QStringLiteral("SyubetuNo"));
    row.name = rows.text(QStringLiteral("Namae"));
    row.hno = rows.intValue(QStringLiteral("Hno"));
    row.ucount = rows.intValue(QStringLiteral("Ucount"));
    return row;
}

// The first column of every row of a query, or none when the query failed.
std::optional<std::vector<int32_t>> readIds(const QString &sql)
{
    auto rows = KakeiboDB->select(sql);
    if (!rows) {
        return std::nullopt;
    }
    std::vector<int32_t> ids;
    for (; !rows->atEnd(); rows->moveNext()) {
        ids.push_back(rows->intAt(0));
    }
    if (KakeiboDB->error()) {
        return std::nullopt;
    }
    return ids;
}

// Deletes the entries of one sub-item and adds the accounts that held them. The accounts
// are read first: without them the balances could not be recomputed, so a failed read
// deletes nothing.
bool deleteEntriesOf(int32_t subItemId, std::vector<int32_t> &accounts)
{
    const QString failed = QStringLiteral("この内訳をもつデータを削除できませんでいた。");
    const QString id = QString::number(subItemId);
    const auto holders = readIds(QStringLiteral("SELECT DISTINCT SisanNo FROM Items WHERE HimokuNo = ") + id);
    if (!holders) {
        showMessage(failed + KakeiboDB->errorMessage());
        return false;
    }
    if (!KakeiboDB->execute(QStringLiteral("DELETE FROM Items WHERE HimokuNo = ") + id)) {
        showMessage(failed + KakeiboDB->errorMessage());
        return false;
    }
    for (const int32_t account : *holders) {
        addOnce(accounts, account);
    }
    return true;
}

// The check every write of the dialog makes inside its transaction before its first change:
// another program may have deleted, changed or merged away the items the user chose, and a
// new row takes a freed Id at once.
Standing itemsStandOrReport(Transaction &transaction, std::vector<ShownCategoryItem> items,
                            const QString &prefix)
{
    return shownRowsStandOrReport(transaction, ShownRows{{}, std::move(items), {}}, prefix);
}

} // namespace

std::vector<CategoryRow> readCategoryTree()
{
    std::vector<CategoryRow> tree;
    gDicSisyutu.clear();
    gDicSyuunyuu.clear();
    auto rows = KakeiboDB->select(
        QStringLiteral("SELECT * FROM Himoku ORDER BY SyubetuNo ASC ,Hno ASC,Ucount DESC,Id ASC"));
    if (!rows) {
        showMessage(QStringLiteral("from Method RepopulateLsbHimoku: ") + KakeiboDB->errorMessage());
        return tree;
    }
    for (; !rows->atEnd(); rows->moveNext()) {
        CategoryRow row = rowFrom(*rows);
        if (!row.isCategory()) {
            if (row.kind == 1) {
                gDicSisyutu.set(row.id, row.name);
            } else if (row.kind == 2) {
                gDicSyuunyuu.set(row.id, row.name);
            } else {
                showMessage(QStringLiteral("SybetuNoErr from RepopulateLsbHimoku ") +
                            QString::number(row.kind));
            }
        }
        tree.push_back(std::move(row));
    }
    return tree;
}

std::optional<CategoryRow> readCategoryItem(int32_t id, const QString &failurePrefix)
{
    auto rows = KakeiboDB->select(QStringLiteral("SELECT * FROM Himoku WHERE Id = ") + QString::number(id));
    if (!rows) {
        showMessage(failurePrefix + KakeiboDB->errorMessage());
        return std::nullopt;
    }
    if (rows->atEnd()) {
        return std::nullopt;
    }
    return rowFrom(*rows);
}

ShownCategoryItem shownCategoryItem(const CategoryRow &row)
{
    return ShownCategoryItem{row.id, row.kind, row.hno, row.name, row.isCategory()};
}

bool addCategory(int32_t kind, const QString &name)
{
    const QString kindText = QString::number(kind);
    const QString insert = QStringLiteral("INSERT INTO Himoku (SyubetuNo,Namae,Hno,Ucount) VALUES( ");
    Transaction transaction(KakeiboDB.get());
    if (!beganOrReport(transaction, QStringLiteral("from Method Himokutuika INSERT: "))) {
        return false;
    }
    if (!KakeiboDB->execute(insert + kindText + QLatin1Char(',') + sqlQuote(name) +
                            QStringLiteral(" ,0, 1)"))) {
        showMessage(QStringLiteral("from Method Himokutuika INSERT: ") + KakeiboDB->errorMessage());
        return false;
    }
    const QString newId = QString::number(KakeiboDB->lastRowId());
    // A category that does not point at itself would sort under another category and
    // survive its own delete; rolling back removes it again, without a sub-item.
    if (!KakeiboDB->execute(QStringLiteral("UPDATE Himoku Set Hno = ") + newId +
                            QStringLiteral(" WHERE Id=") + newId)) {
        showMessage(QStringLiteral("from Method Himokutuika UPDATE: ") + KakeiboDB->errorMessage());
        return false;
    }
    if (!KakeiboDB->execute(insert + kindText + QLatin1Char(',') + sqlQuote(name + QLatin1Char('/') + name) +
                            QStringLiteral(" , ") + newId + QStringLiteral(", 0)"))) {
        showMessage(QStringLiteral("from Method Himokutuika add Utiwake: ") + KakeiboDB->errorMessage());
        return false;
    }
    return commitOrReport(transaction, QStringLiteral("from Method Himokutuika INSERT: "));
}

bool addSubItem(const ShownCategoryItem &category, const QString &subName)
{
    const QString prefix = QStringLiteral("from Method Utiwakekutuika: ");
    Transaction transaction(KakeiboDB.get());
    if (!beganOrReport(transaction, prefix)) {
        return false;
    }
    // A sub-item under a category that is gone would belong to nothing.
    if (itemsStandOrReport(transaction, {category}, prefix) != Standing::Stands) {
        return false;
    }
    if (!KakeiboDB->execute(QStringLiteral("INSERT INTO Himoku (SyubetuNo,Namae,Hno,Ucount) VALUES( ") +
                            QString::number(category.kind) + QLatin1Char(',') +
                            sqlQuote(category.name + QLatin1Char('/') + subName) + QStringLiteral(" , ") +
                            QString::number(category.id) + QStringLiteral(" , 0)"))) {
        showMessage(prefix + KakeiboDB->errorMessage());
        return false;
    }
    return commitOrReport(transaction, prefix);
}

bool renameCategoryItem(const ShownCategoryItem &item, const QString &name)
{
    const QString prefix = QStringLiteral("from Method HimokuHensyuu: ");
    Transaction transaction(KakeiboDB.get());
    if (!beganOrReport(transaction, prefix)) {
        return false;
    }
    const Standing standing = itemsStandOrReport(transaction, {item}, prefix);
    if (standing != Standing::Stands) {
        return standing == Standing::Changed;
    }
    if (!KakeiboDB->execute(QStringLiteral("UPDATE Himoku SET SyubetuNo= ") + QString::number(item.kind) +
                            QStringLiteral(",Namae = ") + sqlQuote(name) + QStringLiteral("   WHERE Id = ") +
                            QString::number(item.id))) {
        const QString message = KakeiboDB->errorMessage();
        showMessage(prefix + message);
        showMessage(message);
        return false;
    }
    return commitOrReport(transaction, prefix);
}

bool deleteCategoryWithEntries(const ShownCategoryItem &category)
{
    const QString id = QString::number(category.id);
    Transaction transaction(KakeiboDB.get());
    if (!beganOrReport(transaction, QStringLiteral("削除する内訳番号を取得できませんでしたで。"))) {
        return false;
    }
    const Standing standing = itemsStandOrReport(
        transaction, {category}, QStringLiteral("削除する内訳番号を取得できませんでしたで。"));
    if (standing != Standing::Stands) {
        return standing == Standing::Changed;
    }
    // The category and its sub-items, read as the list reads them: in a table without column
    // types a sub-item's Hno may be the text '91', which "Hno = 91" would never match, and its
    // category would go without it.
    const QString rows =
        QStringLiteral(" WHERE CAST(Hno AS INTEGER) = ") + id + QStringLiteral(" OR Id = ") + id;
    // Exactly the rows the final statement deletes, so no entry is left without its sub-item
    // (a sub-item whose Ucount is NULL, or a category whose Hno is not its own Id, included).
    const auto doomed = readIds(QStringLiteral("SELECT Id FROM Himoku") + rows);
    if (!doomed) {
        showMessage(QStringLiteral("削除する内訳番号を取得できませんでしたで。") + KakeiboDB->errorMessage());
        return false;
    }
    std::vector<int32_t> accounts;
    for (const int32_t item : *doomed) {
        if (!deleteEntriesOf(item, accounts)) {
            return false;
        }
    }
    if (!recomputeBalances(accounts)) {
        return false;
    }
    if (!KakeiboDB->execute(QStringLiteral("DELETE FROM Himoku") + rows)) {
        showMessage(QStringLiteral("費目データを削除できませんでいた。") + KakeiboDB->errorMessage());
        return false;
    }
    return commitOrReport(transaction, QStringLiteral("費目データを削除できませんでいた。"));
}

bool deleteSubItemWithEntries(const ShownCategoryItem &subItem)
{
    Transaction transaction(KakeiboDB.get());
    if (!beganOrReport(transaction, QStringLiteral("この内訳をもつデータを削除できませんでいた。"))) {
        return false;
    }
    const Standing standing = itemsStandOrReport(
        transaction, {subItem}, QStringLiteral("この内訳をもつデータを削除できませんでいた。"));
    if (standing != Standing::Stands) {
        return standing == Standing::Changed;
    }
    std::vector<int32_t> accounts;
    if (!deleteEntriesOf(subItem.id, accounts)) {
        return false;
    }
    if (!recomputeBalances(accounts)) {
        return false;
    }
    if (!KakeiboDB->execute(QStringLiteral("DELETE FROM Himoku WHERE Id = ") + QString::number(subItem.id))) {
        showMessage(QStringLiteral("この内訳を削除できませんでいた。") + KakeiboDB->errorMessage());
        return false;
    }
    return commitOrReport(transaction, QStringLiteral("この内訳を削除できませんでいた。"));
}

bool mergeSubItem(const ShownCategoryItem &source, const ShownCategoryItem &target)
{
    const QString sourceText = QString::number(source.id);
    Transaction transaction(KakeiboDB.get());
    if (!beganOrReport(transaction, QStringLiteral("from Method HimokuTougou Update: "))) {
        return false;
    }
    // Entries moved to a target that is gone would belong to nothing; a source that took
    // another's Id would give away that one's entries.
    const Standing standing = itemsStandOrReport(transaction, {source, target},
                                                 QStringLiteral("from Method HimokuTougou Update: "));
    if (standing != Standing::Stands) {
        return standing == Standing::Changed;
    }
    if (!KakeiboDB->execute(QStringLiteral("UPDATE Items SET HimokuNo= ") + QString::number(target.id) +
                            QStringLiteral("   WHERE HimokuNo = ") + sourceText)) {
        showMessage(QStringLiteral("from Method HimokuTougou Update: ") + KakeiboDB->errorMessage());
        return false;
    }
    if (!KakeiboDB->execute(QStringLiteral("DELETE FROM Himoku WHERE Id = ") + sourceText)) {
        showMessage(QStringLiteral("from Method HimokuTougou delete") + KakeiboDB->errorMessage());
        return false;
    }
    return commitOrReport(transaction, QStringLiteral("from Method HimokuTougou delete"));
}
