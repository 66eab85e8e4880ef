#include "LedgerGenerator.h"

#include "app/LedgerSchema.h"

#include <sqlite3.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <vector>

namespace {

// Bump when the generated content changes, so that stale cached ledgers are not reused.
constexpr int kGeneratorVersion = 1;
constexpr uint64_t kSeed = 0x5EED'1ED6'E200'0001ull;
constexpr int kLastYear = 2024;

// splitmix64: the same numbers on every platform and standard library, unlike <random>'s
// distributions.
class Random
{
public:
    explicit Random(uint64_t seed) : m_state(seed) {}

    uint64_t next()
    {
        uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // In [0, 1).
    double unit() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
    // In [0, n).
    int below(int n) { return static_cast<int>(unit() * n); }
    // Log-uniform between low and high, rounded to a multiple of step.
    int64_t amount(double low, double high, int step)
    {
        const double v = std::exp(std::log(low) + unit() * (std::log(high) - std::log(low)));
        return std::max<int64_t>(step, static_cast<int64_t>(v / step) * step);
    }

private:
    uint64_t m_state;
};

template <typename T> struct Weighted
{
    T value;
    int weight;
};

template <typename T, size_t N> T pick(Random &random, const std::array<Weighted<T>, N> &table)
{
    int total = 0;
    for (const auto &w : table) {
        total += w.weight;
    }
    int r = random.below(total);
    for (const auto &w : table) {
        if (r < w.weight) {
            return w.value;
        }
        r -= w.weight;
    }
    return table.back().value;
}

struct Account
{
    int id;
    const char *name;
    int64_t opening;
    // The balance the household keeps the account near with transfers.
    int64_t target;
};

// The two seed accounts, then eight that a household adds over the years.
const std::array<Account, 10> kAccounts = {{
    {1, "現金", 30000, 50000},
    {2, "預金", 1500000, 2000000},
    {3, "クレジットカード", 0, -100000},
    {4, "定期預金", 3000000, 3000000},
    {5, "電子マネー", 5000, 20000},
    {6, "財形貯蓄", 800000, 1000000},
    {7, "証券口座", 1000000, 1500000},
    {8, "積立預金", 200000, 500000},
    {9, "ポイント口座", 0, 5000},
    {10, "へそくり", 50000, 100000},
}};

// Where expenses are paid from: the card carries most, so it is the largest account.
const std::array<Weighted<int>, 6> kExpenseAccounts = {{{1, 30}, {2, 8}, {3, 40}, {5, 12}, {9, 2}, {10, 1}}};
const std::array<Weighted<int>, 4> kIncomeAccounts = {{{2, 80}, {1, 10}, {7, 6}, {8, 4}}};

// Seed sub-items, weighted by how often a household books to them.
const std::array<Weighted<int>, 48> kExpenseSubItems = {{
    {2, 300}, {3, 50},  {5, 20},  {6, 20},   {8, 20},  {9, 10},  {10, 10}, {11, 10}, {13, 100}, {14, 30},
    {15, 10}, {19, 20}, {21, 50}, {22, 60},  {23, 10}, {25, 10}, {27, 10}, {29, 20}, {31, 30},  {32, 10},
    {34, 30}, {36, 10}, {37, 10}, {39, 100}, {41, 10}, {42, 10}, {44, 10}, {45, 20}, {47, 30},  {48, 10},
    {49, 10}, {50, 10}, {52, 10}, {54, 20},  {55, 10}, {56, 10}, {58, 10}, {59, 10}, {61, 10},  {63, 10},
    {64, 10}, {66, 10}, {67, 10}, {69, 10},  {70, 10}, {71, 10}, {72, 10}, {75, 20},
}};
const std::array<Weighted<int>, 8> kIncomeSubItems = {{
    {77, 40},
    {79, 5},
    {80, 2},
    {83, 20},
    {85, 2},
    {86, 2},
    {88, 10},
    {90, 5},
}};

const std::array<const char *, 16> kPlaces = {
    "スーパー",       "コンビニ",     "ドラッグストア", "駅前の本屋", "ネット通販",       "近所の八百屋",
    "ホームセンター", "百円ショップ", "商店街",         "デパート",   "ガソリンスタンド", "駅ビル",
    "市役所",         "郵便局",       "病院の売店",     "実家の近く",
};
const std::array<const char *, 16> kWhat = {
    "まとめ買い",   "昼食",           "夕食の材料",   "牛乳とパン", "日用品",           "特売品",
    "子供の文房具", "週末の買い出し", "お弁当",       "飲み物",     "洗剤とティッシュ", "お土産",
    "定期購入分",   "月末の支払い",   "ポイント払い", "雑誌",
};
const std::array<const char *, 8> kNotes = {
    "（家族４人分）", "、ポイント二倍の日", "（立替、後で精算）", "。領収書あり",
    " 半額セール",    "（カード払い）",     "、来月分も",         " 予定より多め",
};
const std::array<const char *, 8> kIncomeMemos = {
    "給与振込", "賞与",       "普通預金利息", "年金振込",
    "売電収入", "税金の還付", "フリマの売上", "お祝いのお返し",
};
const std::array<const char *, 6> kTransferMemos = {
    "ＡＴＭで引き出し", "カード代金の引き落とし", "生活費の移動", "積立", "チャージ", "定期預金へ預け入れ",
};

std::string memo(Random &random)
{
    const double r = random.unit();
    if (r < 0.15) {
        return std::string();
    }
    std::string text = kWhat[random.below(static_cast<int>(kWhat.size()))];
    if (r < 0.35) {
        return text;
    }
    text = std::string(kPlaces[random.below(static_cast<int>(kPlaces.size()))]) + "　" + text;
    if (r > 0.8) {
        text += kNotes[random.below(static_cast<int>(kNotes.size()))];
    }
    return text;
}

// Years of books: a household of this size writes about 5,000 entries a year, at least five
// years and at most forty are kept.
int yearSpan(int64_t entries)
{
    return static_cast<int>(std::clamp<int64_t>(entries / 5000, 5, 40));
}

bool daysFromCivilValid(int y, int m, int d)
{
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    return d >= 1 && d <= kDays[m - 1] + (m == 2 && leap ? 1 : 0);
}

struct Date
{
    int year;
    int month;
    int day;
};

// The calendar days of the span, in order.
std::vector<Date> calendar(int firstYear, int lastYear)
{
    std::vector<Date> days;
    for (int y = firstYear; y <= lastYear; ++y) {
        for (int m = 1; m <= 12; ++m) {
            for (int d = 1; d <= 31; ++d) {
                if (daysFromCivilValid(y, m, d)) {
                    days.push_back({y, m, d});
                }
            }
        }
    }
    return days;
}

class Writer
{
public:
    explicit Writer(sqlite3 *db) : m_db(db) {}
    ~Writer() { sqlite3_finalize(m_insert); }

    bool exec(const std::string &sql)
    {
        char *error = nullptr;
        if (sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
            std::fprintf(stderr, "generator: %s: %s\n", sql.c_str(), error ? error : "");
            sqlite3_free(error);
            return false;
        }
        return true;
    }

    bool prepareInsert()
    {
        return sqlite3_prepare_v2(m_db,
                                  "INSERT INTO Items (Id,Hizuke,Nen,Tuki,Hi,SisanNo,SyubetuNo,HimokuNo,"
                                  "IdouSisanNo,IdouId,Nyuukin,Syukkin,Bikou) "
                                  "VALUES (?,?,?,?,?,?,?,?,?,?,?,?,?)",
                                  -1, &m_insert, nullptr) == SQLITE_OK;
    }

    // Null columns are passed as 0 for HimokuNo and IdouSisanNo and as -1 for the amounts.
    bool insertItem(int64_t id, const Date &date, int sisan, int kind, int himoku, int idouSisan,
                    int64_t idouId, int64_t nyuukin, int64_t syukkin, const std::string &bikou)
    {
        char hizuke[16];
        std::snprintf(hizuke, sizeof hizuke, "%04d-%02d-%02d", date.year, date.month, date.day);
        sqlite3_reset(m_insert);
        sqlite3_bind_int64(m_insert, 1, id);
        sqlite3_bind_text(m_insert, 2, hizuke, -1, SQLITE_TRANSIENT);
        sqlite3_bind_int(m_insert, 3, date.year);
        sqlite3_bind_int(m_insert, 4, date.month);
        sqlite3_bind_int(m_insert, 5, date.day);
        sqlite3_bind_int(m_insert, 6, sisan);
        sqlite3_bind_int(m_insert, 7, kind);
        bindOptional(8, himoku, himoku > 0);
        bindOptional(9, idouSisan, idouSisan > 0);
        sqlite3_bind_int64(m_insert, 10, idouId);
        bindOptional(11, nyuukin, nyuukin >= 0);
        bindOptional(12, syukkin, syukkin >= 0);
        sqlite3_bind_text(m_insert, 13, bikou.data(), static_cast<int>(bikou.size()), SQLITE_TRANSIENT);
        if (sqlite3_step(m_insert) != SQLITE_DONE) {
            std::fprintf(stderr, "generator: insert: %s\n", sqlite3_errmsg(m_db));
            return false;
        }
        return true;
    }

private:
    void bindOptional(int column, int64_t value, bool present)
    {
        if (present) {
            sqlite3_bind_int64(m_insert, column, value);
        } else {
            sqlite3_bind_null(m_insert, column);
        }
    }

    sqlite3 *m_db;
    sqlite3_stmt *m_insert = nullptr;
};

std::string quoted(const std::string &text)
{
    std::string out = "'";
    for (char c : text) {
        out += c;
        if (c == '\'') {
            out += '\'';
        }
    }
    return out + "'";
}

struct LastUsed
{
    Date date{};
    int64_t amount = 0;
    std::string memo;
    bool used = false;
};

bool writeLedger(sqlite3 *db, int64_t entries)
{
    Writer w(db);
    // The file is new and is renamed into place only when complete, so no journal is needed.
    if (!w.exec("PRAGMA journal_mode=OFF") || !w.exec("PRAGMA synchronous=OFF") || !w.exec("BEGIN")) {
        return false;
    }

    std::string items;
    for (const char *piece : kCreateItemsPieces) {
        items += piece;
    }
    bool ok = w.exec(kCreateSisan);
    for (const char *insert : kSeedSisan) {
        ok = ok && w.exec(insert);
    }
    ok = ok && w.exec(kCreateHimoku);
    for (const char *row : kSeedHimokuRows) {
        ok = ok && w.exec(std::string("INSERT INTO  Himoku VALUES ( ") + row + ")");
    }
    ok = ok && w.exec(items) && w.exec(kCreateLastItems);
    for (const Account &a : kAccounts) {
        if (a.id <= 2) {
            ok = ok && w.exec("UPDATE Sisan SET SyokiKingaku = " + std::to_string(a.opening) +
                              " WHERE Id = " + std::to_string(a.id));
        } else {
            ok = ok &&
                 w.exec("INSERT INTO Sisan (Id,Namae,SyokiKingaku,Zankin) VALUES (" + std::to_string(a.id) +
                        "," + quoted(a.name) + "," + std::to_string(a.opening) + ",0)");
        }
    }
    if (!ok || !w.prepareInsert()) {
        return false;
    }

    Random random(kSeed);
    const std::vector<Date> days = calendar(kLastYear - yearSpan(entries) + 1, kLastYear);
    std::array<int64_t, kAccounts.size() + 1> balance{};
    for (const Account &a : kAccounts) {
        balance[a.id] = a.opening;
    }
    std::array<LastUsed, 91> lastUsed{};

    int64_t id = 1;
    while (id <= entries) {
        // Entries come in date order as they are written, a few of them a day or two late.
        int64_t dayIndex = (id - 1) * static_cast<int64_t>(days.size()) / entries;
        if (random.unit() < 0.05) {
            dayIndex = std::max<int64_t>(0, dayIndex - 1 - random.below(3));
        }
        const Date &date = days[dayIndex];
        const double kind = random.unit();

        if (kind < 0.05 && id + 1 <= entries) {
            // A transfer pair, from the account furthest above its usual balance to the one
            // furthest below, so that balances stay in a household's range over millions of
            // entries.
            std::array<int64_t, kAccounts.size() + 1> surplus{};
            int from = 1;
            int to = 1;
            for (const Account &a : kAccounts) {
                surplus[a.id] = balance[a.id] - a.target;
                if (surplus[a.id] > surplus[from]) {
                    from = a.id;
                }
                if (surplus[a.id] < surplus[to]) {
                    to = a.id;
                }
            }
            if (from == to) {
                to = from == 1 ? 2 : 1;
            }
            // Half the gap, in thousands.
            const int64_t amount =
                std::clamp<int64_t>((surplus[from] - surplus[to]) / 2000 * 1000, 1000, 500000);
            const std::string text = kTransferMemos[random.below(static_cast<int>(kTransferMemos.size()))];
            ok = w.insertItem(id, date, from, 3, 0, to, id + 1, -1, amount, text) &&
                 w.insertItem(id + 1, date, to, 4, 0, from, id, amount, -1, text);
            balance[from] -= amount;
            balance[to] += amount;
            id += 2;
        } else if (kind < 0.13) {
            const int sisan = pick(random, kIncomeAccounts);
            const int himoku = pick(random, kIncomeSubItems);
            // A little more comes in than goes out: the household saves over the years.
            const int64_t amount = random.amount(2000, 320000, 100);
            const std::string text = random.unit() < 0.2
                                         ? std::string()
                                         : kIncomeMemos[random.below(static_cast<int>(kIncomeMemos.size()))];
            ok = w.insertItem(id, date, sisan, 2, himoku, 0, -1, amount, -1, text);
            balance[sisan] += amount;
            lastUsed[himoku] = {date, amount, text, true};
            ++id;
        } else {
            const int sisan = pick(random, kExpenseAccounts);
            const int himoku = pick(random, kExpenseSubItems);
            const int64_t amount = random.amount(100, 30000, 10);
            const std::string text = memo(random);
            ok = w.insertItem(id, date, sisan, 1, himoku, 0, -1, -1, amount, text);
            balance[sisan] -= amount;
            lastUsed[himoku] = {date, amount, text, true};
            ++id;
        }
        if (!ok) {
            return false;
        }
    }

    for (size_t himoku = 0; himoku < lastUsed.size(); ++himoku) {
        const LastUsed &last = lastUsed[himoku];
        if (!last.used) {
            continue;
        }
        char hizuke[16];
        std::snprintf(hizuke, sizeof hizuke, "%04d-%02d-%02d", last.date.year, last.date.month,
                      last.date.day);
        ok = ok &&
             w.exec("INSERT INTO LastItems (id, Hizuke, Kingaku, Bikou) VALUES (" + std::to_string(himoku) +
                    ",'" + hizuke + "'," + std::to_string(last.amount) + "," + quoted(last.memo) + ")");
    }
    // The stored balances as the balance rule computes them: opening amount plus receipts
    // minus payments.
    for (const Account &a : kAccounts) {
        ok = ok && w.exec("UPDATE Sisan SET Zankin = " + std::to_string(balance[a.id]) +
                          " WHERE Id = " + std::to_string(a.id));
    }
    return ok && w.exec("COMMIT");
}

} // namespace

bool generateLedger(const std::string &path, int64_t entries)
{
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK) {
        std::fprintf(stderr, "generator: cannot create %s: %s\n", path.c_str(), sqlite3_errmsg(db));
        sqlite3_close(db);
        return false;
    }
    const bool ok = writeLedger(db, entries);
    sqlite3_close(db);
    if (!ok) {
        std::filesystem::remove(path, ignored);
    }
    return ok;
}

GeneratedLedger cachedLedger(const std::string &cacheFolder, int64_t entries)
{
    GeneratedLedger result;
    result.entries = entries;
    std::error_code error;
    std::filesystem::create_directories(cacheFolder, error);
    const std::string path = cacheFolder + "/ledger-" + std::to_string(entries) + "-v" +
                             std::to_string(kGeneratorVersion) + ".sqlf";
    if (std::filesystem::exists(path)) {
        result.path = path;
        result.fromCache = true;
        return result;
    }
    const auto start = std::chrono::steady_clock::now();
    // Written under another name and renamed, so that an interrupted run leaves no half file
    // in the cache.
    const std::string partial = path + ".partial";
    if (!generateLedger(partial, entries)) {
        return result;
    }
    std::filesystem::rename(partial, path, error);
    if (error) {
        std::fprintf(stderr, "generator: cannot rename %s: %s\n", partial.c_str(), error.message().c_str());
        return result;
    }
    result.path = path;
    result.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    return result;
}
