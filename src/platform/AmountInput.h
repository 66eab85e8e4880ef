#pragma once
// The numeric test of a typed amount, shared by every form that takes one.

#include <QString>

#include <cstdint>
#include <optional>

// Accepts optional surrounding ASCII blanks, an optional sign and ASCII digits only, within
// the signed 32-bit range; anything else (grouping commas, exponents, decimals, full-width
// digits) is refused.
std::optional<int32_t> parseAmount(const QString &typed);
