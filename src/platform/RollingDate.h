#pragma once
// A calendar date whose year, month and day can be set to any integer: the value counts on
// from the start of the unit above, so month 13 is January of the next year, day 0 the last
// day of the previous month, and 31 January with the month set to 2 becomes 3 March. The
// year stays within 1000 to 9999 (four digits, so stored date texts keep sorting): a change
// that would leave that range is ignored and the date stays as it was.
//
// Usage: RollingDate d = RollingDate::today(); d.setDay(d.day() + 1) steps one day with
// rollover; d.setYMD(2015, 2, 10) sets exactly that date whatever d held before (setting
// the three parts one by one could roll over in between). toQDate() and shortDate()
// ("2015/02/10", the Japanese short form whatever the system locale) read it.

#include <QDate>
#include <QString>

class RollingDate
{
public:
    static constexpr int kMinimumYear = 1000;
    static constexpr int kMaximumYear = 9999;

    // 1 January 2000.
    RollingDate();
    // The given date, normalised as setYMD does; 1 January 2000 when that leaves the range.
    RollingDate(int year, int month, int day);
    static RollingDate today();

    int year() const { return m_date.year(); }
    int month() const { return m_date.month(); }
    int day() const { return m_date.day(); }

    // Each returns false, changing nothing, when the result would leave the year range.
    bool setYear(int year);
    bool setMonth(int month);
    bool setDay(int day);
    bool setYMD(int year, int month, int day);

    QDate toQDate() const { return m_date; }
    // "yyyy/MM/dd".
    QString shortDate() const;

    bool operator==(const RollingDate &other) const { return m_date == other.m_date; }

private:
    QDate m_date;
};
