#include "BareActions.h"

#include "BareLedger.h"

#include <cstdio>
#include <initializer_list>

namespace {

// Keeps what a statement read alive until the action ends, as the program's lists do.
struct Sink
{
    size_t rows = 0;
    template <typename T> void take(const std::vector<T> &v) { rows += v.size(); }
};

void balanceRule(BareLedger &db, int64_t sisan)
{
    const std::vector<int64_t> sums = db.firstRow(stmt::balanceSums(sisan));
    const int64_t opening = db.scalar(stmt::openingAmount(sisan));
    db.exec(stmt::storeBalance(opening + sums.at(0) - sums.at(1), sisan));
}

void accountList(BareLedger &db, Sink &sink)
{
    sink.take(db.accounts(stmt::kSisan));
    db.scalar(stmt::kSumZankin);
}

// What every writer of entries does after its writes: the entry list refilled, the balance
// rule for each account involved, the account list refilled, and the commit.
void afterWrite(BareLedger &db, Sink &sink, int64_t listed, std::initializer_list<int64_t> involved)
{
    sink.take(db.items(stmt::entryList(listed)));
    for (int64_t sisan : involved) {
        balanceRule(db, sisan);
    }
    accountList(db, sink);
    db.exec("COMMIT");
}

std::string assetCsv(const std::vector<BareAccount> &accounts)
{
    std::string out = "現　有　資　産 ,2024/12/31\n番号 , 名前 , 残金(円)\n";
    int64_t total = 0;
    for (const BareAccount &a : accounts) {
        out += stmt::n(a.id) + " , " + a.namae + " , " + stmt::n(a.zankin) + "\n";
        total += a.zankin;
    }
    return out + "資産残合計  , " + stmt::n(total) + "\n";
}

void appendLine(std::string &out, const std::string &head, const BareReportLine &line)
{
    out += head;
    for (int i = 0; i < 13; ++i) {
        out += " , " + stmt::n(line.sums[i]);
    }
    out += "\n";
}

struct YearlyReport
{
    std::vector<BareReportLine> income;
    BareReportLine incomeTotals;
    std::vector<BareReportLine> expense;
    BareReportLine expenseTotals;
};

YearlyReport yearlyReport(BareLedger &db, const std::string &year)
{
    YearlyReport r;
    r.income = db.reportLines(stmt::yearlyReport(year, 2, false));
    auto totals = db.reportLines(stmt::yearlyReport(year, 2, true));
    if (!totals.empty()) {
        r.incomeTotals = totals.front();
    }
    r.expense = db.reportLines(stmt::yearlyReport(year, 1, false));
    totals = db.reportLines(stmt::yearlyReport(year, 1, true));
    if (!totals.empty()) {
        r.expenseTotals = totals.front();
    }
    return r;
}

std::string yearlyCsv(const std::string &year, const YearlyReport &r)
{
    std::string out = year + " 年度　レポート , 2024/12/31\n";
    for (int m = 1; m <= 12; ++m) {
        out += " , " + stmt::n(m) + " 月";
    }
    out += " , 合計\n収入\n";
    for (const auto &line : r.income) {
        appendLine(out, line.name, line);
    }
    appendLine(out, "収入合計", r.incomeTotals);
    out += "支出\n";
    for (const auto &line : r.expense) {
        appendLine(out, line.name, line);
    }
    appendLine(out, "支出合計", r.expenseTotals);
    BareReportLine difference;
    for (int i = 0; i < 13; ++i) {
        difference.sums[i] = r.incomeTotals.sums[i] - r.expenseTotals.sums[i];
    }
    appendLine(out, "差引合計", difference);
    return out;
}

} // namespace

std::vector<TimedAction> bareActions(BareLedger &db, const Scenario &s, const std::string &workLedger,
                                     const std::string &outputFolder)
{
    // The state the program is in before an action: started on the ledger (which has read
    // the tree, the accounts and the first account's entries), and before the entry writers
    // also switched to the largest account. The bare side reads the same, so that both run
    // their timed statements on equally warm caches.
    auto started = [&db, &s, workLedger] {
        if (db.isOpen()) {
            return;
        }
        if (!db.open(workLedger)) {
            db.fail("open " + workLedger);
        }
        Sink sink;
        sink.take(db.himoku(stmt::kHimokuTree));
        accountList(db, sink);
        sink.take(db.items(stmt::entryList(s.firstAccount)));
    };
    auto startedInLargest = [&db, &s, started] {
        started();
        Sink sink;
        sink.take(db.items(stmt::entryList(s.largestAccount)));
    };
    auto close = [&db] { db.close(); };
    std::vector<TimedAction> actions;

    actions.push_back({{"startup"},
                       false,
                       close,
                       [&db, &s, workLedger](Laps &) {
                           Sink sink;
                           db.open(workLedger);
                           sink.take(db.himoku(stmt::kHimokuTree));
                           sink.take(db.accounts(stmt::kSisan));
                           accountList(db, sink);
                           // Selecting the first account fills the list, and the refresh fills it again.
                           sink.take(db.items(stmt::entryList(s.firstAccount)));
                           sink.take(db.items(stmt::entryList(s.firstAccount)));
                       },
                       nullptr,
                       nullptr});

    actions.push_back({{"switch"},
                       false,
                       started,
                       [&db, &s](Laps &) {
                           Sink sink;
                           sink.take(db.items(stmt::entryList(s.largestAccount)));
                       },
                       nullptr,
                       nullptr});

    actions.push_back(
        {{"expense"},
         true,
         startedInLargest,
         [&db, &s](Laps &) {
             Sink sink;
             db.exec("BEGIN IMMEDIATE");
             db.exec(stmt::insertEntry(s.day, s.largestAccount, 1, s.expenseSubItem, s.expenseAmount,
                                       s.expenseMemo));
             db.lastRowId();
             sink.take(db.items(stmt::entryList(s.largestAccount)));
             balanceRule(db, s.largestAccount);
             accountList(db, sink);
             if (db.rowCount(stmt::lastItems(s.expenseSubItem)) > 0) {
                 db.exec(stmt::updateLastItems(s.day, s.expenseAmount, s.expenseMemo, s.expenseSubItem));
             } else {
                 db.exec(stmt::insertLastItems(s.day, s.expenseAmount, s.expenseMemo, s.expenseSubItem));
             }
             db.exec("COMMIT");
         },
         close,
         nullptr});

    actions.push_back({{"transfer"},
                       true,
                       startedInLargest,
                       [&db, &s](Laps &) {
                           Sink sink;
                           db.exec("BEGIN IMMEDIATE");
                           db.exec(stmt::insertTransferOut(s.day, s.largestAccount, s.transferTo,
                                                           s.transferAmount, s.transferMemo));
                           const int64_t out = db.lastRowId();
                           db.exec(stmt::insertTransferIn(s.day, s.largestAccount, s.transferTo, out,
                                                          s.transferAmount, s.transferMemo));
                           const int64_t in = db.lastRowId();
                           db.exec(stmt::linkTransfer(in, out));
                           afterWrite(db, sink, s.largestAccount, {s.largestAccount, s.transferTo});
                       },
                       close,
                       nullptr});

    actions.push_back(
        {{"changeTransfer"},
         true,
         startedInLargest,
         [&db, &s](Laps &) {
             Sink sink;
             db.exec("BEGIN IMMEDIATE");
             db.exec(stmt::updateTransferRow(s.day, true, s.changedAmount, s.changedMemo, s.sourceId));
             db.exec(stmt::updateTransferRow(s.day, false, s.changedAmount, s.changedMemo, s.destinationId));
             afterWrite(db, sink, s.largestAccount, {s.sourceAccount, s.destinationAccount});
         },
         close,
         nullptr});

    actions.push_back({{"deleteTransfer"},
                       true,
                       startedInLargest,
                       [&db, &s](Laps &) {
                           Sink sink;
                           db.exec("BEGIN IMMEDIATE");
                           db.exec(stmt::deleteEntry(s.sourceId));
                           db.exec(stmt::deleteEntry(s.destinationId));
                           afterWrite(db, sink, s.largestAccount, {s.sourceAccount, s.destinationAccount});
                       },
                       close,
                       nullptr});

    actions.push_back({{"accountDialog", "accountDialogClose"},
                       false,
                       started,
                       [&db, &s](Laps &laps) {
                           Sink sink;
                           // The list's open event reads the list, and the dialog's open event again.
                           sink.take(db.accounts(stmt::kSisan));
                           sink.take(db.accounts(stmt::kSisan));
                           laps.mark();
                           accountList(db, sink);
                           sink.take(db.items(stmt::entryList(s.firstAccount)));
                           sink.take(db.items(stmt::entryList(s.firstAccount)));
                       },
                       nullptr,
                       nullptr});

    actions.push_back({{"categoryDialog", "categoryDialogClose"},
                       false,
                       started,
                       [&db, &s](Laps &laps) {
                           Sink sink;
                           // The list's open event reads the tree, and the dialog's open event again.
                           sink.take(db.himoku(stmt::kHimokuTree));
                           sink.take(db.himoku(stmt::kHimokuTree));
                           laps.mark();
                           accountList(db, sink);
                           sink.take(db.items(stmt::entryList(s.firstAccount)));
                       },
                       nullptr,
                       nullptr});

    actions.push_back({{"merge"},
                       true,
                       started,
                       [&db, &s](Laps &) {
                           Sink sink;
                           db.exec("BEGIN IMMEDIATE");
                           db.exec(stmt::mergeEntries(s.mergeTarget, s.mergeSource));
                           db.exec(stmt::deleteHimoku(s.mergeSource));
                           db.exec("COMMIT");
                           sink.take(db.himoku(stmt::kHimokuTree));
                       },
                       close,
                       nullptr});

    actions.push_back({{"assetReport"},
                       false,
                       started,
                       [&db](Laps &) {
                           Sink sink;
                           sink.take(db.accounts(stmt::kReportSisan));
                       },
                       nullptr,
                       nullptr});

    actions.push_back({{"yearlyReport"},
                       false,
                       started,
                       [&db](Laps &) {
                           const auto years = db.integers(stmt::kYears);
                           yearlyReport(db, stmt::n(years.front()));
                       },
                       nullptr,
                       nullptr});

    actions.push_back({{"assetCsv"},
                       false,
                       started,
                       [&db, outputFolder](Laps &) {
                           writeFileDurably(outputFolder + "/bare-asset.csv",
                                            assetCsv(db.accounts(stmt::kReportSisan)));
                       },
                       nullptr,
                       nullptr});

    actions.push_back({{"yearlyCsv"},
                       false,
                       started,
                       [&db, &s, outputFolder](Laps &) {
                           writeFileDurably(outputFolder + "/bare-yearly.csv",
                                            yearlyCsv(s.firstYear, yearlyReport(db, s.firstYear)));
                       },
                       nullptr,
                       nullptr});
    return actions;
}
