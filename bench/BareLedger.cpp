#include "BareLedger.h"

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>

namespace {

std::string text(sqlite3_stmt *stmt, int column)
{
    const auto *bytes = reinterpret_cast<const char *>(sqlite3_column_text(stmt, column));
    return bytes ? std::string(bytes, static_cast<size_t>(sqlite3_column_bytes(stmt, column)))
                 : std::string();
}

} // namespace

struct BareLedger::Statement
{
    Statement(const BareLedger &owner, const std::string &sql) : m_owner(owner), m_sql(sql)
    {
        if (sqlite3_prepare_v2(owner.m_db, sql.c_str(), static_cast<int>(sql.size()), &m_stmt, nullptr) !=
            SQLITE_OK) {
            owner.fail(sql);
        }
    }
    ~Statement() { sqlite3_finalize(m_stmt); }

    bool step()
    {
        const int rc = sqlite3_step(m_stmt);
        if (rc == SQLITE_ROW) {
            return true;
        }
        if (rc != SQLITE_DONE) {
            m_owner.fail(m_sql);
        }
        return false;
    }

    int32_t i32(int column) const { return sqlite3_column_int(m_stmt, column); }
    int64_t i64(int column) const { return sqlite3_column_int64(m_stmt, column); }
    std::string str(int column) const { return text(m_stmt, column); }

    const BareLedger &m_owner;
    const std::string &m_sql;
    sqlite3_stmt *m_stmt = nullptr;
};

BareLedger::~BareLedger()
{
    close();
}

bool BareLedger::open(const std::string &path)
{
    close();
    if (sqlite3_open_v2(path.c_str(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        sqlite3_close(m_db);
        m_db = nullptr;
        return false;
    }
    sqlite3_busy_timeout(m_db, 5000);
    return true;
}

void BareLedger::close()
{
    if (m_db) {
        sqlite3_close(m_db);
        m_db = nullptr;
    }
}

void BareLedger::fail(const std::string &sql) const
{
    std::fprintf(stderr, "bare statement failed: %s\n  %s\n", m_db ? sqlite3_errmsg(m_db) : "no ledger",
                 sql.c_str());
    std::exit(2);
}

std::vector<BareItem> BareLedger::items(const std::string &sql)
{
    Statement s(*this, sql);
    std::vector<BareItem> rows;
    while (s.step()) {
        BareItem r;
        r.id = s.i64(0);
        r.hizuke = s.str(1);
        r.nen = s.i32(2);
        r.tuki = s.i32(3);
        r.hi = s.i32(4);
        r.sisanNo = s.i32(5);
        r.syubetuNo = s.i32(6);
        r.himokuNo = s.i32(7);
        r.idouSisanNo = s.i32(8);
        r.idouId = s.i64(9);
        r.nyuukin = s.i64(10);
        r.syukkin = s.i64(11);
        r.bikou = s.str(12);
        rows.push_back(std::move(r));
    }
    return rows;
}

std::vector<BareAccount> BareLedger::accounts(const std::string &sql)
{
    Statement s(*this, sql);
    std::vector<BareAccount> rows;
    while (s.step()) {
        rows.push_back({s.i32(0), s.str(1), s.i64(2), s.i64(3)});
    }
    return rows;
}

std::vector<int64_t> BareLedger::integers(const std::string &sql)
{
    Statement s(*this, sql);
    std::vector<int64_t> values;
    while (s.step()) {
        values.push_back(s.i64(0));
    }
    return values;
}

int64_t BareLedger::scalar(const std::string &sql)
{
    Statement s(*this, sql);
    return s.step() ? s.i64(0) : 0;
}
