#include "BareReplay.h"

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>

BareReplay::~BareReplay()
{
    closeAll();
}

void BareReplay::closeAll()
{
    for (auto &[id, db] : m_connections) {
        sqlite3_close(db);
    }
    m_connections.clear();
}

void BareReplay::replay(const RecordedEvent &event)
{
    auto found = m_connections.find(event.connection);
    if (event.kind == RecordedEvent::Close) {
        if (found != m_connections.end()) {
            sqlite3_close(found->second);
            m_connections.erase(found);
        }
        return;
    }
    if (event.kind == RecordedEvent::Open || found == m_connections.end()) {
        if (found != m_connections.end()) {
            sqlite3_close(found->second);
        }
        sqlite3 *db = nullptr;
        if (sqlite3_open_v2(m_path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) !=
            SQLITE_OK) {
            std::fprintf(stderr, "bare side: cannot open %s\n", m_path.c_str());
            std::exit(2);
        }
        sqlite3_busy_timeout(db, 5000);
        found = m_connections.insert_or_assign(event.connection, db).first;
        if (event.kind == RecordedEvent::Open) {
            return;
        }
    }
    sqlite3 *db = found->second;
    sqlite3_stmt *stmt = nullptr;
    if (sqlite3_prepare_v2(db, event.sql.c_str(), int(event.sql.size()), &stmt, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "bare side: %s\n  %s\n", sqlite3_errmsg(db), event.sql.c_str());
        std::exit(2);
    }
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        const int columns = sqlite3_column_count(stmt);
        for (int c = 0; c < columns; ++c) {
            Value value;
            switch (sqlite3_column_type(stmt, c)) {
            case SQLITE_INTEGER:
                value.integer = sqlite3_column_int64(stmt, c);
                break;
            case SQLITE_NULL:
                break;
            default:
                // Texts and blobs; a real, should a statement compute one, as SQLite's text for it.
                value.text.assign(reinterpret_cast<const char *>(sqlite3_column_text(stmt, c)),
                                  size_t(sqlite3_column_bytes(stmt, c)));
            }
            m_values.push_back(std::move(value));
        }
        m_rowEnds.push_back(m_values.size());
    }
    if (rc != SQLITE_DONE) {
        std::fprintf(stderr, "bare side: %s\n  %s\n", sqlite3_errmsg(db), event.sql.c_str());
        std::exit(2);
    }
    sqlite3_finalize(stmt);
}

std::string BareReplay::rowsAsLines() const
{
    std::string out;
    size_t start = 0;
    for (const size_t end : m_rowEnds) {
        for (size_t i = start; i < end; ++i) {
            const Value &v = m_values[i];
            out += i > start ? " , " : "";
            out += v.text.empty() ? std::to_string(v.integer) : v.text;
        }
        out += '\n';
        start = end;
    }
    return out;
}

void BareReplay::forgetRows()
{
    m_values.clear();
    m_rowEnds.clear();
}
