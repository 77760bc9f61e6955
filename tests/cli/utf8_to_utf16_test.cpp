// SPDX-License-Identifier: GPL-3.0-or-later
// Strict UTF-8 to UTF-16 conversion of passphrases.
#include "cli/Utf8ToUtf16.h"

#include <gtest/gtest.h>

namespace {

TEST(Utf8ToUtf16Test, WellFormedTextConverts) {
    const std::vector<std::pair<std::string, std::u16string>> cases = {
        {"", u""},
        {"abc", u"abc"},
        {std::string("a\0b", 3), std::u16string(u"a\0b", 3)},
        {"\x7F", u"\x7F"},
        {"\xC2\x80", u"\u0080"},
        {"r\xC3\xA9sum\xC3\xA9", u"r\u00E9sum\u00E9"},
        {"\xDF\xBF", u"\u07FF"},
        {"\xE0\xA0\x80", u"\u0800"},
        {"\xE6\x97\xA5\xE6\x9C\xAC", u"\u65E5\u672C"},
        {"\xED\x9F\xBF", u"\uD7FF"},
        {"\xEE\x80\x80", u"\uE000"},
        {"\xEF\xBF\xBF", u"\uFFFF"},
        // Beyond the BMP: a surrogate pair, which the engine counts as two code units.
        {"\xF0\x90\x80\x80", u"\U00010000"},
        {"\xF0\x9F\x98\x80!", u"\U0001F600!"},
        {"\xF4\x8F\xBF\xBF", u"\U0010FFFF"},
    };
    for (const auto& [utf8, utf16] : cases) {
        SCOPED_TRACE(::testing::PrintToString(utf8));
        const auto converted = cli::utf8ToUtf16(utf8);
        ASSERT_TRUE(converted.has_value());
        EXPECT_EQ(converted->view(), utf16);
    }
}

TEST(Utf8ToUtf16Test, IllFormedTextIsRefused) {
    const std::vector<std::string> cases = {
        "\x80",                     // continuation byte without a lead
        "ab\xBF",                   //
        "\xC3",                     // sequence cut off at the end
        "a\xE6\x97",                //
        "\xF0\x9F\x98",             //
        "\xC3(",                    // lead byte followed by a non-continuation
        "\xE6\x97(",                //
        "\xC0\x80",                 // overlong forms
        "\xC1\xBF",                 //
        "\xE0\x80\x80",             //
        "\xE0\x9F\xBF",             //
        "\xF0\x80\x80\x80",         //
        "\xF0\x8F\xBF\xBF",         //
        "\xED\xA0\x80",             // encoded surrogates (CESU-8)
        "\xED\xBF\xBF",             //
        "\xED\xA0\xBD\xED\xB8\x80", //
        "\xF4\x90\x80\x80",         // above U+10FFFF
        "\xF7\xBF\xBF\xBF",         //
        "\xF8\x88\x80\x80\x80",     // five- and six-byte forms
        "\xFC\x84\x80\x80\x80\x80",
        "\xFE",
        "\xFF",
        "valid then \xFF",
    };
    for (const auto& utf8 : cases) {
        SCOPED_TRACE(::testing::PrintToString(utf8));
        EXPECT_FALSE(cli::utf8ToUtf16(utf8).has_value());
    }
}

TEST(Utf8ToUtf16Test, CodePointsGoBackToTheSameUtf16AndUtf8) {
    // One row per UTF-8 length, at both ends of each, and a surrogate pair's both ends.
    const std::vector<std::pair<std::string, std::u32string>> cases = {
        {"a\x7F", U"a\x7F"},
        {"\xC2\x80\xDF\xBF", U"\u0080\u07FF"},
        {"\xE0\xA0\x80\xEF\xBF\xBF", U"\u0800\uFFFF"},
        {"\xF0\x90\x80\x80\xF4\x8F\xBF\xBF", U"\U00010000\U0010FFFF"},
        {"a\xF0\x9F\x98\x80"
         "b",
         U"a\U0001F600b"},
    };
    for (const auto& [utf8, codePoints] : cases) {
        SCOPED_TRACE(::testing::PrintToString(utf8));
        const auto utf16 = cli::utf8ToUtf16(utf8);
        ASSERT_TRUE(utf16.has_value());
        EXPECT_EQ(cli::utf16ToCodePoints(utf16->view()).view(), codePoints);
        cli::SecretUtf16 back16;
        cli::appendUtf16(codePoints, back16);
        EXPECT_EQ(back16.view(), utf16->view());
        cli::SecretUtf8 back8;
        cli::appendUtf8(codePoints, back8);
        EXPECT_EQ(back8.view(), utf8);
    }
}

} // namespace
