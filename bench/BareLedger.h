#pragma once
// A ledger read through the SQLite C API alone, into plain structs: the plain reads that find
// what the actions act on and check, after a run, that the action did what it times. Nothing
// here is timed.

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

class BareLedger
{
public:
    BareLedger() = default;
    ~BareLedger();
    BareLedger(const BareLedger &) = delete;
    BareLedger &operator=(const BareLedger &) = delete;

    // Opens an existing file.
    bool open(const std::string &path);
    void close();

    std::vector<BareItem> items(const std::string &sql);
    std::vector<BareAccount> accounts(const std::string &sql);
    // Every row of the first column, as integers.
    std::vector<int64_t> integers(const std::string &sql);
    // The first column of the first row (0 when there is none or it is NULL).
    int64_t scalar(const std::string &sql);

    // Fails loudly: a scenario or a check built on a failing statement would mean nothing.
    [[noreturn]] void fail(const std::string &sql) const;

private:
    struct Statement;
    sqlite3 *m_db = nullptr;
};
