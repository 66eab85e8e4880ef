#include "platform/RollingDate.h"

namespace {

// The date reached from the first of the (normalised) month by day - 1 days, or an invalid
// date when that leaves the year range. 64-bit all through, so no input can overflow.
QDate normalised(int64_t year, int64_t month, int64_t day)
{
    const int64_t months = year * 12 + (month - 1);
    // Floor division, so month 0 and negative months go back into earlier years.
    int64_t y = months / 12;
    int64_t m = months % 12;
    if (m < 0) {
        m += 12;
        --y;
    }
    if (y < RollingDate::kMinimumYear - 1 || y > RollingDate::kMaximumYear + 1) {
        return {};
    }
    // A day offset beyond a few centuries cannot land inside the range from here.
    if (day > 4000000 || day < -4000000) {
        return {};
    }
    const QDate date = QDate(int(y), int(m) + 1, 1).addDays(day - 1);
    if (!date.isValid() || date.year() < RollingDate::kMinimumYear ||
        date.year() > RollingDate::kMaximumYear) {
        return {};
    }
    return date;
}

} // namespace

RollingDate::RollingDate() : m_date(2000, 1, 1) {}

RollingDate::RollingDate(int year, int month, int day) : m_date(2000, 1, 1)
{
    setYMD(year, month, day);
}

RollingDate RollingDate::today()
{
    const QDate now = QDate::currentDate();
    return RollingDate(now.year(), now.month(), now.day());
}

bool RollingDate::setYMD(int year, int month, int day)
{
    const QDate date = normalised(year, month, day);
    if (!date.isValid()) {
        return false;
    }
    m_date = date;
    return true;
}

bool RollingDate::setYear(int year)
{
    return setYMD(year, month(), day());
}

bool RollingDate::setMonth(int month)
{
    return setYMD(year(), month, day());
}

bool RollingDate::setDay(int day)
{
    return setYMD(year(), month(), day);
}

QString RollingDate::shortDate() const
{
    return m_date.toString(QStringLiteral("yyyy/MM/dd"));
}
