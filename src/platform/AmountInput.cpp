#include "platform/AmountInput.h"

#include <limits>

std::optional<int32_t> parseAmount(const QString &typed)
{
    qsizetype begin = 0;
    qsizetype end = typed.size();
    auto isBlank = [](QChar c) { return c == QLatin1Char(' ') || c == QLatin1Char('\t'); };
    while (begin < end && isBlank(typed[begin])) {
        ++begin;
    }
    while (end > begin && isBlank(typed[end - 1])) {
        --end;
    }
    if (begin == end) {
        return std::nullopt;
    }
    bool negative = false;
    if (typed[begin] == QLatin1Char('+') || typed[begin] == QLatin1Char('-')) {
        negative = typed[begin] == QLatin1Char('-');
        ++begin;
    }
    if (begin == end) {
        return std::nullopt;
    }
    int64_t value = 0;
    for (qsizetype i = begin; i < end; ++i) {
        const char16_t c = typed[i].unicode();
        if (c < u'0' || c > u'9') {
            return std::nullopt;
        }
        value = value * 10 + (c - u'0');
        if (value > int64_t(std::numeric_limits<int32_t>::max()) + 1) {
            return std::nullopt;
        }
    }
    if (negative) {
        value = -value;
    }
    if (value > std::numeric_limits<int32_t>::max() || value < std::numeric_limits<int32_t>::min()) {
        return std::nullopt;
    }
    return static_cast<int32_t>(value);
}
