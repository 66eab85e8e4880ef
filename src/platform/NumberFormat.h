#pragma once
// Integers as text by a display pattern such as "-#,###,###,###", "####", "0#" or "######":
// '#' is an optional digit, '0' a digit always written (a leading zero when needed), ','
// groups the digits by three. A value is never cut: it gets as many digits as it has, and a
// negative value always carries its minus sign. A value of 0 under a pattern without any '0'
// is written "0". Every function is 64-bit, so sums and balances never wrap.
//
// Usage: formatNumber(1234567, kAmountPattern) gives "1,234,567"; formatNumber(3, u"0#")
// gives "03"; formatAmount(-1500) gives "-1,500". appendNumber writes into an existing text
// without allocating (list refills use it). rightAlignedAmount(12345) gives "     12345": the
// plain decimal padded with blanks to at least ten characters, for text aligned by blanks.

#include <QString>
#include <QStringView>

#include <cstdint>

class NumberPattern
{
public:
    explicit NumberPattern(QStringView pattern);

    // Digits always written, counted from the first '0' of the pattern to its end.
    int minimumDigits() const { return m_minimumDigits; }
    bool grouped() const { return m_grouped; }

private:
    int m_minimumDigits = 0;
    bool m_grouped = false;
};

// The amount pattern of lists, totals and labels: "-#,###,###,###".
extern const NumberPattern kAmountPattern;

QString formatNumber(int64_t value, const NumberPattern &pattern);
QString formatNumber(int64_t value, QStringView pattern);
void appendNumber(QString &out, int64_t value, const NumberPattern &pattern);
// The same as formatNumber(value, kAmountPattern).
QString formatAmount(int64_t value);
// Plain decimal (leading minus sign, no grouping) padded on the left with blanks to at least
// width characters; a longer number is written whole.
QString rightAlignedAmount(int64_t value, int width = 10);
