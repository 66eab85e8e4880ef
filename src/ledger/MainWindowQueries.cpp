#include "ledger/MainWindowQueries.h"

#include "app/mdlGlobal.h"
#include "ledger/EntryWriter.h"
#include "platform/CheckedSum.h"

#include <algorithm>

std::optional<std::vector<AccountRecord>> readAccounts(LedgerConnection &db)
{
    auto rows = db.select(QStringLiteral("SELECT * FROM Sisan"));
    if (!rows) {
        return std::nullopt;
    }
    const int id = rows->columnIndex(QStringLiteral("Id"));
    const int name = rows->columnIndex(QStringLiteral("Namae"));
    const int balance = rows->columnIndex(QStringLiteral("Zankin"));
    const int opening = rows->columnIndex(QStringLiteral("SyokiKingaku"));
    std::vector<AccountRecord> accounts;
    for (; !rows->atEnd(); rows->moveNext()) {
        accounts.push_back(
            {rows->intAt(id), rows->textAt(name), rows->int64At(balance), rows->int64At(opening)});
    }
    if (db.error()) {
        return std::nullopt;
    }
    return accounts;
}

std::optional<int64_t> readBalanceTotal(LedgerConnection &db)
{
    auto rows = db.select(QStringLiteral("SELECT SUM(Zankin) AS ZankinKei FROM Sisan"));
    if (!rows) {
        return std::nullopt;
    }
    const int64_t total = rows->atEnd() ? 0 : rows->int64(QStringLiteral("ZankinKei"));
    if (db.error()) {
        return std::nullopt;
    }
    return total;
}

QString entryListSql(int32_t accountId)
{
    return QStringLiteral("SELECT *  FROM Items  WHERE Items.SisanNo = ") + QString::number(accountId) +
           QStringLiteral("  ORDER BY Hizuke");
}

namespace {

struct EntryColumns
{
    explicit EntryColumns(const RowSet &rows)
        : id(rows.columnIndex(QStringLiteral("Id"))), date(rows.columnIndex(QStringLiteral("Hizuke"))),
          kind(rows.columnIndex(QStringLiteral("SyubetuNo"))),
          account(rows.columnIndex(QStringLiteral("SisanNo"))),
          category(rows.columnIndex(QStringLiteral("HimokuNo"))),
          partnerAccount(rows.columnIndex(QStringLiteral("IdouSisanNo"))),
          partnerEntry(rows.columnIndex(QStringLiteral("IdouId"))),
          received(rows.columnIndex(QStringLiteral("Nyuukin"))),
          paid(rows.columnIndex(QStringLiteral("Syukkin"))), memo(rows.columnIndex(QStringLiteral("Bikou")))
    {}

    int id, date, kind, account, category, partnerAccount, partnerEntry, received, paid, memo;
};

void readNumbers(EntryRecord &entry, const RowSet &rows, const EntryColumns &c)
{
    entry.id = rows.intAt(c.id);
    entry.kind = rows.intAt(c.kind);
    entry.accountId = rows.intAt(c.account);
    entry.categoryId = rows.intAt(c.category);
    entry.partnerAccountId = rows.intAt(c.partnerAccount);
    entry.partnerEntryId = rows.intAt(c.partnerEntry);
    entry.received = rows.int64At(c.received);
    entry.paid = rows.int64At(c.paid);
}

// A date text of the one form this program writes, "YYYY-MM-DD", as the number YYYYMMDD;
// none for anything else. Texts of one fixed width order as these numbers do.
std::optional<uint32_t> dateKey(QByteArrayView text)
{
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') {
        return std::nullopt;
    }
    uint32_t key = 0;
    for (int i : {0, 1, 2, 3, 5, 6, 8, 9}) {
        const char c = text[i];
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        key = key * 10 + uint32_t(c - '0');
    }
    return key;
}

// The sums of the balance rule's select over the rows read, as SQL's SUM gives them, kept
// only while that is certain: both columns exist and every amount is an integer or NULL
// with no sum leaving 64 bits. Anything else (a real or a text, which SUM turns into a
// real; an overflow, which SUM reports) leaves the sums to the select itself.
class RuleSums
{
public:
    explicit RuleSums(const EntryColumns &c) : m_exact(c.received >= 0 && c.paid >= 0) {}

    void add(const RowSet &rows, const EntryColumns &c)
    {
        m_exact =
            m_exact && addAmount(m_sums.income, rows, c.received) && addAmount(m_sums.expense, rows, c.paid);
    }

    std::optional<EntrySums> result() const
    {
        return m_exact ? std::optional<EntrySums>(m_sums) : std::nullopt;
    }

private:
    static bool addAmount(int64_t &sum, const RowSet &rows, int column)
    {
        if (rows.isNullAt(column)) {
            return true;
        }
        const std::optional<int64_t> next =
            rows.isIntegerAt(column) ? checkedAdd(sum, rows.int64At(column)) : std::nullopt;
        if (next) {
            sum = *next;
        }
        return next.has_value();
    }

    EntrySums m_sums;
    bool m_exact;
};

// One pass over the rows of an entry statement: each row handed to the sink as it is read,
// the rule's sums taken on the way.
class EntryPass
{
public:
    // The sums are taken only when they are asked for.
    EntryPass(const RowSet &rows, EntrySink &sink, bool sums)
        : m_columns(rows), m_sums(m_columns), m_takeSums(sums), m_sink(sink)
    {}

    const EntryColumns &columns() const { return m_columns; }

    void add(const RowSet &rows)
    {
        readNumbers(m_entry, rows, m_columns);
        m_entry.date = rows.utf8At(m_columns.date);
        m_entry.memo = rows.utf8At(m_columns.memo);
        if (m_takeSums) {
            m_sums.add(rows, m_columns);
        }
        m_sink.add(m_entry);
    }

    // True when the rows ended without a failed step; the sums then go to `sums`.
    bool finish(const LedgerConnection &db, std::optional<EntrySums> *sums) const
    {
        if (db.error()) {
            return false;
        }
        if (sums) {
            *sums = m_sums.result();
        }
        return true;
    }

private:
    EntryColumns m_columns;
    RuleSums m_sums;
    bool m_takeSums;
    EntrySink &m_sink;
    EntryRecord m_entry;
};

// The list statement as it stands, sorted by the database: for ledgers holding dates in
// another form, whose order only SQLite's own comparison gives.
bool readSortedByTheDatabase(LedgerConnection &db, int32_t accountId, EntrySink &sink,
                             std::optional<EntrySums> *sums)
{
    auto rows = db.select(entryListSql(accountId));
    if (!rows) {
        return false;
    }
    EntryPass pass(*rows, sink, sums != nullptr);
    for (; !rows->atEnd(); rows->moveNext()) {
        pass.add(*rows);
    }
    return pass.finish(db, sums);
}

} // namespace

bool readEntries(LedgerConnection &db, int32_t accountId, EntrySink &sink, EntryOrder &order,
                 std::optional<EntrySums> *sums)
{
    // Sorting whole rows costs SQLite more than reading them: the account's rows are read in
    // table order and handed on at once, and only their date keys are sorted here, ties
    // keeping table order, which is the order the list statement returns them in.
    order.keys.clear();
    order.sources.clear();
    auto rows = db.select(QStringLiteral("SELECT *  FROM Items  WHERE Items.SisanNo = ") +
                          QString::number(accountId));
    if (!rows) {
        return false;
    }
    EntryPass pass(*rows, sink, sums != nullptr);
    const int date = pass.columns().date;
    bool sorted = true;
    for (; !rows->atEnd(); rows->moveNext()) {
        const std::optional<uint32_t> key = rows->isTextAt(date) ? dateKey(rows->utf8At(date)) : std::nullopt;
        if (!key) {
            rows.reset();
            order.keys.clear();
            sink.restart();
            return readSortedByTheDatabase(db, accountId, sink, sums);
        }
        // Date key above, table position below: one unique number per entry, so a plain
        // sort keeps ties in table order.
        const uint64_t position = (uint64_t(*key) << 32) | uint64_t(order.keys.size());
        sorted = sorted && (order.keys.empty() || order.keys.back() < position);
        order.keys.push_back(position);
        pass.add(*rows);
    }
    if (!pass.finish(db, sums)) {
        return false;
    }
    if (!sorted) {
        std::sort(order.keys.begin(), order.keys.end());
        order.sources.resize(order.keys.size());
        for (size_t i = 0; i < order.keys.size(); ++i) {
            order.sources[i] = uint32_t(order.keys[i] & 0xFFFFFFFFu);
        }
    }
    return true;
}

bool balanceAfter(int64_t &balance, const EntryRecord &entry)
{
    std::optional<int64_t> next = balance;
    switch (entry.kind) {
    case kExpense:
    case kTransferOut:
        next = checkedSub(balance, entry.paid);
        break;
    case kIncome:
    case kTransferIn:
        next = checkedAdd(balance, entry.received);
        break;
    default:
        break;
    }
    if (!next) {
        return false;
    }
    balance = *next;
    return true;
}

void appendEntryCategoryText(QString &out, const EntryRecord &entry)
{
    switch (entry.kind) {
    case kExpense:
        out += gDicSisyutu.value(entry.categoryId);
        break;
    case kIncome:
        out += gDicSyuunyuu.value(entry.categoryId);
        break;
    case kTransferOut:
        out += gDicSisan.value(entry.partnerAccountId);
        out += QStringLiteral(" へ");
        break;
    case kTransferIn:
        out += gDicSisan.value(entry.partnerAccountId);
        out += QStringLiteral(" から");
        break;
    default:
        break;
    }
}
