#pragma once
// The statements of the category dialog: reading the tree (and rebuilding gDicSisyutu and
// gDicSyuunyuu with the sub-items only), adding a category with its first sub-item, adding a
// sub-item, renaming, deleting a category or a sub-item with its entries, and merging one
// sub-item into another. Each writer runs as one transaction on KakeiboDB, shows its own
// messages and commits before it returns.

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

struct CategoryRow
{
    int32_t id = 0;
    int32_t kind = 0; // SyubetuNo: 1 expense, 2 income
    QString name;
    int32_t hno = 0;
    int32_t ucount = 0;

    // Readers tell a category from a sub-item by Ucount alone.
    bool isCategory() const { return ucount > 0; }
};

// Every category followed by its sub-items, expense before income. The two lookup tables are
// rebuilt from the sub-items in that order. A failed read shows its message and yields no rows
// (and empty tables).
std::vector<CategoryRow> readCategoryTree();

// One Himoku row by its Id; a failed read shows the prefix and the database's message. None
// also when no row matches.
std::optional<CategoryRow> readCategoryItem(int32_t id, const QString &failurePrefix);

// Adds a category of the kind with its first sub-item "NAME/NAME". True when both were
// written; on a failure its message is shown and nothing is written.
bool addCategory(int32_t kind, const QString &name);

// Adds the sub-item "CATEGORY/SUBNAME" under the category. True when written.
bool addSubItem(int32_t kind, const QString &categoryName, const QString &subName, int32_t categoryId);

// Writes the kind and whole name of a category or sub-item. False after a failure.
bool renameCategoryItem(int32_t id, int32_t kind, const QString &name);

// Deletes the category, its sub-items and every entry booked to any of them, and recomputes
// the accounts that held those entries. False after a failure, and then nothing is deleted.
bool deleteCategoryWithEntries(int32_t categoryId);

// Deletes the sub-item and its entries and recomputes the accounts that held them. False
// after a failure, and then nothing is deleted.
bool deleteSubItemWithEntries(int32_t subItemId);

// Re-books every entry of the source sub-item to the target and deletes the source. No
// balance changes. False after a failure, and then nothing is changed. True, with nothing
// changed, also when another program has deleted or changed either since they were listed:
// that has been said, and the tree is to be read again.
bool mergeSubItem(int32_t source, int32_t target);
