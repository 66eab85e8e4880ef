#pragma once
// The statement texts the program runs for each benchmarked action, built the way the
// program builds them, so that the bare SQLite side runs exactly the same SQL.

#include <cstdint>
#include <cstdio>
#include <string>

namespace stmt {

inline const std::string kHimokuTree =
    "SELECT * FROM Himoku ORDER BY SyubetuNo ASC ,Hno ASC,Ucount DESC,Id ASC";
inline const std::string kSisan = "SELECT * FROM Sisan";
inline const std::string kSumZankin = "SELECT SUM(Zankin) AS ZankinKei FROM Sisan";
inline const std::string kReportSisan = "Select * FROM Sisan";
inline const std::string kYears = "Select DISTINCT Nen  FROM Items";

inline std::string n(int64_t v)
{
    return std::to_string(v);
}

// The entry list of an account.
inline std::string entryList(int64_t sisan)
{
    return "SELECT *  FROM Items  WHERE Items.SisanNo = " + n(sisan) + "  ORDER BY Hizuke";
}
inline std::string entryById(int64_t id)
{
    return "SELECT * FROM Items WHERE Id = " + n(id);
}
inline std::string lastItems(int64_t himoku)
{
    return "SELECT * FROM LastItems WHERE Id = " + n(himoku);
}

// The balance rule.
inline std::string balanceSums(int64_t sisan)
{
    return "SELECT  SUM(Nyuukin) as income , SUM(Syukkin) as expenss FROM Items WHERE SisanNo = " + n(sisan);
}
inline std::string openingAmount(int64_t sisan)
{
    return "SELECT  SyokiKingaku FROM Sisan WHERE ID = " + n(sisan);
}
inline std::string storeBalance(int64_t balance, int64_t sisan)
{
    return "UPDATE Sisan SET Zankin = " + n(balance) + "  WHERE Id = " + n(sisan);
}

struct Day
{
    int year;
    int month;
    int day;
};

inline std::string two(int v)
{
    char text[16];
    std::snprintf(text, sizeof text, "%02d", v);
    return text;
}
inline std::string dateText(const Day &d)
{
    return n(d.year) + "-" + two(d.month) + "-" + two(d.day);
}
inline std::string quoted(const std::string &text)
{
    std::string out;
    for (char c : text) {
        out += c;
        if (c == '\'') {
            out += '\'';
        }
    }
    return out;
}

// A new expense (kind 1) or income (kind 2) entry.
inline std::string insertEntry(const Day &d, int64_t sisan, int kind, int64_t himoku, int64_t amount,
                               const std::string &memo)
{
    return "INSERT INTO Items (Hizuke,Nen,Tuki,Hi,SisanNo,SyubetuNo , HimokuNo " +
           std::string(kind == 2 ? ", IdouId, Nyuukin  ,Bikou ) VALUES "
                                 : ", IdouId, Syukkin  ,Bikou ) VALUES  ") +
           "   ( '" + dateText(d) + "'  " + " , " + n(d.year) + " , " + n(d.month) + " , " + n(d.day) + "," +
           n(sisan) + " , " + n(kind) + " , " + n(himoku) + " ,-1  , " + n(amount) + "  ,  '" + quoted(memo) +
           "' )";
}
inline std::string updateLastItems(const Day &d, int64_t amount, const std::string &memo, int64_t himoku)
{
    return "UPDATE LastItems SET  Hizuke =  '" + dateText(d) + "'   , Kingaku= " + n(amount) +
           "   , Bikou=   '" + quoted(memo) + "'      WHERE Id= " + n(himoku);
}
inline std::string insertLastItems(const Day &d, int64_t amount, const std::string &memo, int64_t himoku)
{
    return "INSERT INTO LastItems (id, Hizuke, Kingaku, Bikou) VALUES     ( " + n(himoku) + " ,  '" +
           dateText(d) + "'    , " + n(amount) + "  ,  '" + quoted(memo) + "' )";
}

inline std::string transferDate(const Day &d)
{
    return " VALUES  ( '" + dateText(d) + "'  " + " , " + n(d.year) + " , " + n(d.month) + " , " + n(d.day);
}
inline std::string insertTransferOut(const Day &d, int64_t from, int64_t to, int64_t amount,
                                     const std::string &memo)
{
    return "INSERT INTO Items (Hizuke,Nen,Tuki,Hi,SisanNo,SyubetuNo , IdouSisanNo ,IdouId ,Syukkin , Bikou ) "
           "  " +
           transferDate(d) + "," + n(from) + " , 3 , " + n(to) + " , -1 " + " , " + n(amount) + "  ,  '" +
           quoted(memo) + "' ) ";
}
inline std::string insertTransferIn(const Day &d, int64_t from, int64_t to, int64_t outId, int64_t amount,
                                    const std::string &memo)
{
    return "INSERT INTO Items (Hizuke,Nen,Tuki,Hi,SisanNo,SyubetuNo , IdouSisanNo ,IdouId ,Nyuukin , Bikou ) "
           "  " +
           transferDate(d) + "," + n(to) + " , 4 , " + n(from) + " , " + n(outId) + " , " + n(amount) +
           "  ,  '" + quoted(memo) + "' ) ";
}
inline std::string linkTransfer(int64_t inId, int64_t outId)
{
    return "UPDATE Items SET IdouId = " + n(inId) + " WHERE Id = " + n(outId);
}
// One row of a changed transfer pair: the source row with Syukkin, the destination with Nyuukin.
inline std::string updateTransferRow(const Day &d, bool source, int64_t amount, const std::string &memo,
                                     int64_t id)
{
    return "UPDATE Items SET  Hizuke =  '" + dateText(d) + "'   , Nen= " + n(d.year) +
           " , Tuki= " + n(d.month) + " , Hi= " + n(d.day) + (source ? " , Syukkin = " : " , Nyuukin = ") +
           n(amount) + "  , Bikou=   '" + quoted(memo) + "'      WHERE Id= " + n(id);
}
inline std::string deleteEntry(int64_t id)
{
    return "DELETE FROM Items WHERE ID = " + n(id);
}

// Merging one sub-item into another.
inline std::string mergeEntries(int64_t target, int64_t source)
{
    return "UPDATE Items SET HimokuNo= " + n(target) + "   WHERE HimokuNo = " + n(source);
}
inline std::string deleteHimoku(int64_t id)
{
    return "DELETE FROM Himoku WHERE Id = " + n(id);
}

// The four statements of the yearly report: income (kind 2) or expense (kind 1), rows or totals.
inline std::string yearlyReport(const std::string &year, int kind, bool totals)
{
    const std::string column = kind == 2 ? "Nyuukin" : "Syukkin";
    std::string sql = totals ? "SELECT Items.SyubetuNo " : "Select Himoku.Namae ";
    for (int m = 1; m <= 12; ++m) {
        sql += " , SUM(CASE WHEN Tuki = " + n(m) + " THEN " + column + " END) AS g" + n(m);
    }
    sql += ",SUM(CASE WHEN Nen=" + year + " THEN " + column + " END) AS N" + year;
    sql += "  FROM Items JOIN Himoku ON Items.HimokuNo=Himoku.Id";
    sql += "  WHERE Nen=" + year + " AND Items.SyubetuNo=" + n(kind);
    if (!totals) {
        sql += " GROUP BY Items.HimokuNo";
    }
    return sql;
}

} // namespace stmt
