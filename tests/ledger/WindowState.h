#pragma once
// Helpers of the main-window tests: everything the user sees of the two lists and the
// buttons as one text, to compare the window after two ways of reaching a state, and a count
// of the statements that read the entries while some steps run.

#include "app/mdlGlobal.h"
#include "ledger/wndKakeibo.h"
#include "platform/ListBox.h"
#include "support/LedgerTestFixture.h"

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QStringList>

#include <sqlite3.h>

#include <functional>

// Every cell of both lists, the labels, the caption, the scroll positions, the selections,
// the buttons and the selected account.
inline QString windowState(wndKakeibo *w)
{
    QStringList lines;
    for (ListBox *list : {w->lsbSisan(), w->lsbItem()}) {
        lines << QStringLiteral("%1: %2 rows, scrolled to %3, row %4 selected")
                     .arg(list->objectName())
                     .arg(list->rowCount())
                     .arg(list->scrollPosition())
                     .arg(list->listIndex());
        for (int row = 0; row < list->rowCount(); ++row) {
            QStringList cells;
            for (int column = 0; column < list->listModel()->columns(); ++column) {
                cells << list->cell(row, column);
            }
            lines << cells.join(QLatin1Char('|'));
        }
    }
    lines << w->lblItotal()->text() << w->lblStotal()->text() << w->grbKakeibo1()->title();
    lines << QStringLiteral("buttons %1%2%3, form %4, mode %5")
                 .arg(w->pbtSinki()->isEnabled())
                 .arg(w->pbtHensyuu()->isEnabled())
                 .arg(w->pbtSakujyo()->isEnabled())
                 .arg(w->grbKinyu()->isEnabled())
                 .arg(w->KinyuuStatus);
    lines << QStringLiteral("account row %1, id %2").arg(gSisanCode.SisanRow).arg(gSisanCode.SisanId);
    return lines.join(QLatin1Char('\n'));
}

// Counts the statements run on the open ledger that read Items, while it lives (a statement
// that cannot even be prepared does not run and is not counted).
class ItemsReads
{
public:
    ItemsReads() { sqlite3_trace_v2(KakeiboDB->handle(), SQLITE_TRACE_STMT, &ItemsReads::seen, this); }
    ~ItemsReads() { sqlite3_trace_v2(KakeiboDB->handle(), 0, nullptr, nullptr); }
    ItemsReads(const ItemsReads &) = delete;
    ItemsReads &operator=(const ItemsReads &) = delete;

    int count() const { return m_count; }

private:
    static int seen(unsigned, void *self, void *statement, void *)
    {
        const char *sql = sqlite3_sql(static_cast<sqlite3_stmt *>(statement));
        if (sql && QByteArray(sql).startsWith("SELECT") && QByteArray(sql).contains("FROM Items")) {
            ++static_cast<ItemsReads *>(self)->m_count;
        }
        return 0;
    }

    int m_count = 0;
};

// The statements reading Items that the steps run on the open ledger.
inline int itemsReadsDuring(const std::function<void()> &steps)
{
    const ItemsReads counted;
    steps();
    return counted.count();
}

inline void closeMainWindow()
{
    if (wndKakeibo::exists()) {
        delete wndKakeibo::instance();
    }
}

// A fixture for tests that make the main window themselves: none is open when a test starts
// or after it ends.
class OwnMainWindowFixture : public LedgerTestFixture
{
protected:
    void SetUp() override
    {
        LedgerTestFixture::SetUp();
        closeMainWindow();
    }

    void TearDown() override
    {
        closeMainWindow();
        LedgerTestFixture::TearDown();
    }
};
