#pragma once
// Finding a row of a list box by the Id one of its cells holds, as the tests choose rows.

#include "platform/ListBox.h"

#include <QString>

#include <cstdint>

// The first row whose cell in the column holds the Id, or -1.
inline int rowHolding(const ListBox &list, int column, int32_t id)
{
    const QString text = QString::number(id);
    for (int row = 0; row < list.rowCount(); ++row) {
        if (list.cell(row, column) == text) {
            return row;
        }
    }
    return -1;
}
