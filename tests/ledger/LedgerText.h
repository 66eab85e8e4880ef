#pragma once
// Helpers of the ledger tests: what a query returns as one text, to compare whole tables
// before and after an action, and a statement refused on purpose by a trigger.

#include "app/mdlGlobal.h"

#include <QString>
#include <QStringList>

#include <gtest/gtest.h>

#include <ostream>

// The rows of a query on the open ledger, cells joined by "|" and rows by line ends.
inline QString queryText(const QString &sql)
{
    auto rows = KakeiboDB->select(sql);
    EXPECT_TRUE(rows) << KakeiboDB->errorMessage().toStdString();
    QStringList lines;
    for (; rows && !rows->atEnd(); rows->moveNext()) {
        QStringList cells;
        for (int i = 0; i < rows->columnCount(); ++i) {
            cells << rows->textAt(i);
        }
        lines << cells.join(QLatin1Char('|'));
    }
    return lines.join(QLatin1Char('\n'));
}

// A trigger stands in for any statement the ledger refuses (a full disk, a damaged file).
struct RefusedStatement
{
    const char *name;
    const char *trigger;
    // The message the refusal must show.
    const char *message;
};

inline void PrintTo(const RefusedStatement &refused, std::ostream *out)
{
    *out << refused.name;
}

inline std::string refusedStatementName(const ::testing::TestParamInfo<RefusedStatement> &info)
{
    return info.param.name;
}
