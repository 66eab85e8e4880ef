#include "reports/ReportText.h"

QString reportAmount(int64_t amount)
{
    return QString::number(amount).rightJustified(10, QLatin1Char(' '));
}

QString reportDate(const QDate &date)
{
    return date.toString(QStringLiteral("yyyy/MM/dd"));
}
