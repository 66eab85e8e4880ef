#pragma once
// A text given unit by unit, so that a test can hold what no literal may: a lone surrogate,
// a pair in the wrong order.

#include <QString>

#include <initializer_list>

inline QString utf16(std::initializer_list<char16_t> units)
{
    QString text;
    for (const char16_t unit : units) {
        text.append(QChar(unit));
    }
    return text;
}
