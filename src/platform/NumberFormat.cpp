#include "platform/NumberFormat.h"

const NumberPattern kAmountPattern(u"-#,###,###,###");

NumberPattern::NumberPattern(QStringView pattern)
{
    int placeholders = 0;
    int firstZero = -1;
    for (QChar c : pattern) {
        if (c == QLatin1Char('#') || c == QLatin1Char('0')) {
            if (c == QLatin1Char('0') && firstZero < 0) {
                firstZero = placeholders;
            }
            ++placeholders;
        } else if (c == QLatin1Char(',')) {
            m_grouped = true;
        }
    }
    m_minimumDigits = firstZero < 0 ? 0 : placeholders - firstZero;
}

void appendNumber(QString &out, int64_t value, const NumberPattern &pattern)
{
    // Digits are produced backwards into a small buffer; 20 digits, 6 separators and a sign
    // fit in 32 characters for any 64-bit value and any sensible minimum.
    char16_t buffer[64];
    int pos = 64;
    // The magnitude as unsigned, so that the most negative value has one too.
    uint64_t magnitude = value < 0 ? uint64_t(0) - uint64_t(value) : uint64_t(value);
    const int minimum = qBound(1, pattern.minimumDigits(), 40);
    int digits = 0;
    while (magnitude != 0 || digits < minimum) {
        if (pattern.grouped() && digits > 0 && digits % 3 == 0) {
            buffer[--pos] = u',';
        }
        buffer[--pos] = char16_t(u'0' + magnitude % 10);
        magnitude /= 10;
        ++digits;
    }
    if (value < 0) {
        buffer[--pos] = u'-';
    }
    out.append(QStringView(buffer + pos, 64 - pos));
}

QString formatNumber(int64_t value, const NumberPattern &pattern)
{
    QString out;
    appendNumber(out, value, pattern);
    return out;
}

QString formatNumber(int64_t value, QStringView pattern)
{
    return formatNumber(value, NumberPattern(pattern));
}

QString formatAmount(int64_t value)
{
    return formatNumber(value, kAmountPattern);
}

QString rightAlignedAmount(int64_t value, int width)
{
    const QString plain = QString::number(value);
    return plain.size() >= width ? plain : QString(width - plain.size(), QLatin1Char(' ')) + plain;
}
