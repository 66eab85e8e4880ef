#include "platform/AmountInput.h"

#include <gtest/gtest.h>

namespace {

struct AmountCase
{
    const char *typed;
    std::optional<int32_t> expected;
};

TEST(AmountInput, AcceptsOnlySignedAsciiDigitsWithin32Bits)
{
    const AmountCase cases[] = {
        {"500", 500},
        {"+0500", 500},
        {"-12", -12},
        {"  42 ", 42},
        {"0", 0},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"2147483648", std::nullopt},
        {"-2147483649", std::nullopt},
        {"99999999999999999999", std::nullopt},
        {"1,000", std::nullopt},
        {"1e3", std::nullopt},
        {"12.5", std::nullopt},
        {"", std::nullopt},
        {"   ", std::nullopt},
        {"-", std::nullopt},
        {"+-1", std::nullopt},
        {"1 2", std::nullopt},
        {"０１２", std::nullopt}, // full-width digits
        {"0x10", std::nullopt},
        {"12\n", std::nullopt},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(parseAmount(QString::fromUtf8(c.typed)), c.expected) << c.typed;
    }
}

} // namespace
