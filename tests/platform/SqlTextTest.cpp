#include "platform/SqlText.h"

#include "support/Utf16.h"

#include <gtest/gtest.h>

namespace {

TEST(SqlTextTest, OnlyANulOrALoneSurrogateMakesATextUnstorable)
{
    struct Case
    {
        const char *what;
        QString text;
        bool storable;
    };
    const Case cases[] = {
        {"empty", QString(), true},
        {"quotes and Japanese", QString::fromUtf8("食費'引用'"), true},
        {"emoji pairs", QString::fromUtf8("😀👍🏽"), true},
        {"pair at the very end", utf16({u'a', 0xD83D, 0xDE00}), true},
        {"last code point of the private planes", utf16({0xDBFF, 0xDFFF}), true},
        {"replacement character", QString::fromUtf8("\uFFFD"), true},
        {"NUL", utf16({u'a', 0, u'b'}), false},
        {"high surrogate before a letter", utf16({0xD83D, u'b'}), false},
        {"high surrogate at the end", utf16({u'a', 0xDBFF}), false},
        {"low surrogate first", utf16({0xDE00, u'b'}), false},
        {"two high surrogates", utf16({0xD83D, 0xD83D, 0xDE00}), false},
        {"pair followed by a low surrogate", utf16({0xD83D, 0xDE00, 0xDE00}), false},
    };
    for (const Case &c : cases) {
        EXPECT_EQ(isStorableText(c.text), c.storable) << c.what;
    }
}

} // namespace
