#pragma once
// The statements of the category dialog: reading the tree (and rebuilding gDicSisyutu and
// gDicSyuunyuu with the sub-items only), adding a category with its first sub-item, adding a
// sub-item, renaming, deleting a category or a sub-item with its entries, and merging one
// sub-item into another. Each writer runs as one transaction on KakeiboDB, shows its own
// messages and commits before it returns.

#include "app/ShownRows.h"

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

// What the dialog's list shows of the row: its kind, category, name, and whether it is a
// category; what a write rests on.
ShownCategoryItem shownCategoryItem(const CategoryRow &row);

// Adds a category of the kind with its first sub-item "NAME/NAME". True when both were
// written; on a failure its message is shown and nothing is written.
bool addCategory(int32_t kind, const QString &name);

// Adds the sub-item "CATEGORY/SUBNAME" under the category shown, of its kind. True when
// written. False after a failure, and also when the category no longer stands as shown
// (another program deleted or changed it, or a new row took its Id): that has been said, and
// nothing is written.
bool addSubItem(const ShownCategoryItem &category, const QString &subName);

// Writes the whole name of the category or sub-item shown, keeping its kind. False after a
// failure. True, with nothing written, also when the item no longer stands as shown: that has
// been said, and the tree is to be read again.
bool renameCategoryItem(const ShownCategoryItem &item, const QString &name);

// Deletes the category shown, its sub-items and every entry booked to any of them, and
// recomputes the accounts that held those entries. False after a failure, and then nothing is
// deleted. True, with nothing deleted, also when the category no longer stands as shown.
bool deleteCategoryWithEntries(const ShownCategoryItem &category);

// Deletes the sub-item shown and its entries and recomputes the accounts that held them.
// False after a failure, and then nothing is deleted. True, with nothing deleted, also when
// the sub-item no longer stands as shown.
bool deleteSubItemWithEntries(const ShownCategoryItem &subItem);

// Re-books every entry of the source sub-item to the target and deletes the source. No
// balance changes. False after a failure, and then nothing is changed. True, with nothing
// changed, also when either no longer stands as shown: that has been said, and the tree is
// to be read again.
bool mergeSubItem(const ShownCategoryItem &source, const ShownCategoryItem &target);
