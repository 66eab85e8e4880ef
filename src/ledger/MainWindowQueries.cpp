#include "ledger/MainWindowQueries.h"

#include "app/mdlGlobal.h"
#include "ledger/EntryWriter.h"
#include "platform/CheckedSum.h"

#include <QStringDecoder>

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

void writeDateText(char16_t (&out)[10], uint32_t key)
{
    for (int i : {9, 8, 6, 5, 3, 2, 1, 0}) {
        out[i] = char16_t(u'0' + key % 10);
        key /= 10;
    }
    out[4] = u'-';
    out[7] = u'-';
}

// The entry as kept between reading and sorting: numbers, the date as its key, the memo as
// a place in one shared text.
struct BufferedEntry
{
    EntryRecord numbers;
    uint32_t dateKey;
    uint32_t memoOffset;
    uint32_t memoLength;
};

// The list statement as it stands, sorted by the database: for ledgers holding dates in
// another form, whose order only SQLite's own comparison gives.
bool readSortedByTheDatabase(LedgerConnection &db, int32_t accountId,
                             const std::function<void(const EntryRecord &)> &row)
{
    auto rows = db.select(entryListSql(accountId));
    if (!rows) {
        return false;
    }
    const EntryColumns columns(*rows);
    EntryRecord entry;
    for (; !rows->atEnd(); rows->moveNext()) {
        readNumbers(entry, *rows, columns);
        const QString date = rows->textAt(columns.date);
        const QString memo = rows->textAt(columns.memo);
        entry.date = date;
        entry.memo = memo;
        row(entry);
    }
    return !db.error();
}

} // namespace

bool readEntries(LedgerConnection &db, int32_t accountId, const std::function<void(const EntryRecord &)> &row)
{
    // Sorting whole rows costs SQLite more than reading them: the account's rows are read in
    // table order and sorted here by their date, ties keeping table order, which is the
    // order the list statement returns them in.
    auto rows = db.select(QStringLiteral("SELECT *  FROM Items  WHERE Items.SisanNo = ") +
                          QString::number(accountId));
    if (!rows) {
        return false;
    }
    const EntryColumns columns(*rows);
    std::vector<BufferedEntry> entries;
    QString memos;
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    for (; !rows->atEnd(); rows->moveNext()) {
        const std::optional<uint32_t> key =
            rows->isTextAt(columns.date) ? dateKey(rows->utf8At(columns.date)) : std::nullopt;
        if (!key) {
            rows.reset();
            return readSortedByTheDatabase(db, accountId, row);
        }
        BufferedEntry entry;
        readNumbers(entry.numbers, *rows, columns);
        entry.dateKey = *key;
        const QByteArrayView memo = rows->utf8At(columns.memo);
        const qsizetype start = memos.size();
        // UTF-16 never needs more units than UTF-8 has bytes.
        memos.resize(start + memo.size());
        const QChar *end = decoder.appendToBuffer(memos.data() + start, memo);
        memos.resize(end - memos.constData());
        entry.memoOffset = uint32_t(start);
        entry.memoLength = uint32_t(memos.size() - start);
        entries.push_back(entry);
    }
    if (db.error()) {
        return false;
    }
    rows.reset();

    // Date key above, table position below: one unique number per entry, so a plain sort
    // keeps ties in table order.
    std::vector<uint64_t> order(entries.size());
    for (size_t i = 0; i < entries.size(); ++i) {
        order[i] = (uint64_t(entries[i].dateKey) << 32) | uint64_t(i);
    }
    std::sort(order.begin(), order.end());

    char16_t date[10];
    const QStringView allMemos(memos);
    for (const uint64_t position : order) {
        BufferedEntry &entry = entries[size_t(position & 0xFFFFFFFFu)];
        writeDateText(date, entry.dateKey);
        entry.numbers.date = QStringView(date, 10);
        entry.numbers.memo = allMemos.mid(entry.memoOffset, entry.memoLength);
        row(entry.numbers);
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
