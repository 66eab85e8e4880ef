#pragma once
// What the benchmarked actions act on in a given ledger, and what their checks expect: the
// entry counts, the largest account, a transfer pair in it, the sub-items of the merge. Found
// once per ledger with plain queries before anything is timed; both children read the same
// ledger, so they agree on it.

#include <cstdint>
#include <string>

struct Day
{
    int year;
    int month;
    int day;
};

struct Scenario
{
    int64_t entries = 0;
    int32_t firstAccount = 0;
    int64_t firstAccountEntries = 0;
    int32_t largestAccount = 0;
    int32_t largestAccountRow = 0;
    int64_t largestAccountEntries = 0;

    // The new expense: booked to the largest account.
    Day day{2024, 12, 31};
    int32_t expenseSubItem = 2;
    int64_t expenseAmount = 1280;
    std::string expenseMemo = "スーパー　夕食の材料";

    // The new transfer: from the largest account to another.
    int32_t transferTo = 0;
    int64_t transferAmount = 30000;
    std::string transferMemo = "生活費の移動";

    // The pair that is changed and deleted: the latest transfer row of the largest account.
    int64_t pairRowId = 0;
    // The pair's source row, which holds the changed amount afterwards.
    int64_t sourceId = 0;
    int64_t changedAmount = 45000;
    std::string changedMemo = "カード代金の引き落とし（訂正）";

    // The merge: the expense sub-item with the most entries into the next most used one.
    int32_t mergeSource = 0;
    int32_t mergeTarget = 0;
    int64_t mergeSourceEntries = 0;
};

// Reads the scenario from a ledger; exits the process when the ledger lacks what it needs.
Scenario readScenario(const std::string &ledgerPath);
