#pragma once
// A ledger read and written through the SQLite C API alone, into plain structs: the floor
// against which the benchmarks hold the program's own time for the same statements.

#include <cstdint>
#include <string>
#include <vector>

struct sqlite3;

struct BareItem
{
    int64_t id = 0;
    std::string hizuke;
    int32_t nen = 0;
    int32_t tuki = 0;
    int32_t hi = 0;
    int32_t sisanNo = 0;
    int32_t syubetuNo = 0;
    int32_t himokuNo = 0;
    int32_t idouSisanNo = 0;
    int64_t idouId = 0;
    int64_t nyuukin = 0;
    int64_t syukkin = 0;
    std::string bikou;
};

struct BareAccount
{
    int32_t id = 0;
    std::string namae;
    int64_t syokiKingaku = 0;
    int64_t zankin = 0;
};

struct BareHimoku
{
    int32_t id = 0;
    int32_t syubetuNo = 0;
    std::string namae;
    int32_t hno = 0;
    int32_t ucount = 0;
};

// One line of the yearly report: a name (or nothing on a totals line) and thirteen sums.
struct BareReportLine
{
    std::string name;
    int64_t sums[13] = {};
};

class BareLedger
{
public:
    BareLedger() = default;
    ~BareLedger();
    BareLedger(const BareLedger &) = delete;
    BareLedger &operator=(const BareLedger &) = delete;

    // Opens an existing file and reads its schema once, as the program's connect does.
    bool open(const std::string &path);
    void close();
    bool isOpen() const { return m_db != nullptr; }

    std::vector<BareItem> items(const std::string &sql);
    std::vector<BareAccount> accounts(const std::string &sql);
    std::vector<BareHimoku> himoku(const std::string &sql);
    std::vector<BareReportLine> reportLines(const std::string &sql);
    // Every row of the first column, as integers.
    std::vector<int64_t> integers(const std::string &sql);
    // Every column of the first row, as integers (NULL as 0).
    std::vector<int64_t> firstRow(const std::string &sql);
    // The first column of the first row (0 when there is none or it is NULL).
    int64_t scalar(const std::string &sql);
    // The number of rows the statement returns.
    int64_t rowCount(const std::string &sql);
    bool exec(const std::string &sql);
    int64_t lastRowId() const;

    // Fails loudly: a benchmark that measured a failing statement would measure nothing.
    [[noreturn]] void fail(const std::string &sql) const;

private:
    struct Statement;
    sqlite3 *m_db = nullptr;
};
