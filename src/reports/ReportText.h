#pragma once
// The texts the reports put on a page and into a CSV file: amounts and today's date.

#include <QDate>
#include <QString>

#include <cstdint>

// An amount as plain decimal text, right-aligned in at least ten characters and never cut.
QString reportAmount(int64_t amount);
// The Japanese short date, yyyy/MM/dd, whatever the system's locale.
QString reportDate(const QDate &date);
