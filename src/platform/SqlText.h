#pragma once
// Turning typed text into SQL literals. Every writer goes through sqlQuote, so no typed
// text can change what a statement does; the stored text is exactly what was typed.

#include <QString>

inline QString sqlQuote(const QString &text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}
