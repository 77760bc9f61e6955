// SPDX-License-Identifier: GPL-3.0-or-later
// Escaping file names for one-line output: a table of names, and random bytes read back from their escapes.
#include "cli/NameEscaping.h"

#include "cli/Utf8ToUtf16.h"
#include "tests/support/test_seed.h"

#include <gtest/gtest.h>

#include <cctype>
#include <optional>
#include <random>
#include <string>

namespace {

using namespace std::string_literals;

TEST(NameEscapingTest, EscapesControlBytesBackslashesAndIllFormedUtf8Only) {
    const std::pair<std::string, std::string> cases[] = {
        {"", ""},
        {"report 2024 (final).pdf", "report 2024 (final).pdf"},
        {"two\nlines", "two\\nlines"},
        {"\n", "\\n"},
        {"tab\there", "tab\\there"},
        {"back\\slash", "back\\\\slash"},
        {"\\x41", "\\\\x41"}, // an escape's text in the name stays apart from a real escape
        {"a\0b"s, "a\\x00b"},
        {"\r\x01\x1f\x7f", "\\x0d\\x01\\x1f\\x7f"},
        {"\x1b[31mred", "\\x1b[31mred"},
        {" ~", " ~"},
        // Well-formed UTF-8 passes, from the smallest two-byte character to the largest code point.
        {"r\xc3\xa9sum\xc3\xa9", "r\xc3\xa9sum\xc3\xa9"},
        {"\xc2\x80", "\xc2\x80"},
        {"\xe6\x97\xa5\xe6\x9c\xac.txt", "\xe6\x97\xa5\xe6\x9c\xac.txt"},
        {"\xed\x9f\xbf\xee\x80\x80", "\xed\x9f\xbf\xee\x80\x80"},
        {"\xf0\x9f\x98\x80", "\xf0\x9f\x98\x80"},
        {"\xf4\x8f\xbf\xbf", "\xf4\x8f\xbf\xbf"},
        // Ill-formed bytes are escaped one by one; a well-formed sequence right after them still passes.
        {"\x80", "\\x80"},
        {"latin1 \xe9t\xe9", "latin1 \\xe9t\\xe9"},
        {"cut \xc3", "cut \\xc3"},
        {"\xe6\x97z", "\\xe6\\x97z"},
        {"\xe6\xe6\x97\xa5", "\\xe6\xe6\x97\xa5"},
        {"\xc0\xaf", "\\xc0\\xaf"},                   // overlong "/"
        {"\xe0\x80\xaf", "\\xe0\\x80\\xaf"},          // overlong "/"
        {"\xed\xa0\x80", "\\xed\\xa0\\x80"},          // a surrogate
        {"\xf4\x90\x80\x80", "\\xf4\\x90\\x80\\x80"}, // above U+10FFFF
        {"\xf5\xff\xfe", "\\xf5\\xff\\xfe"},
    };
    for (const auto& [name, escaped] : cases) {
        EXPECT_EQ(cli::escapeName(name), escaped) << ::testing::PrintToString(name);
    }
}

TEST(NameEscapingTest, PathsAreEscapedByTheirBytes) {
    EXPECT_EQ(cli::escapePath("/tmp/new\nline/\xff.brisklet"), "/tmp/new\\nline/\\xff.brisklet");
}

int hexValue(char digit) {
    return digit <= '9' ? digit - '0' : digit - 'a' + 10;
}

// The reading back that the escapes promise, written from their description; none for a malformed escape.
std::optional<std::string> unescape(const std::string& text) {
    std::string bytes;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            bytes += text[i];
            continue;
        }
        const std::string rest = text.substr(i + 1, 3);
        if (rest.starts_with('n') || rest.starts_with('t') || rest.starts_with('\\')) {
            bytes += rest[0] == 'n' ? '\n' : rest[0] == 't' ? '\t' : '\\';
            i += 1;
        } else if (rest.size() == 3 && rest[0] == 'x' && std::isxdigit(rest[1]) && std::isxdigit(rest[2])) {
            bytes += static_cast<char>(hexValue(rest[1]) * 16 + hexValue(rest[2]));
            i += 3;
        } else {
            return std::nullopt;
        }
    }
    return bytes;
}

// Random names over bytes that matter here: ASCII, controls, backslashes, lead and continuation bytes.
TEST(NameEscapingTest, RandomBytesComeBackFromOneLineOfWellFormedText) {
    std::mt19937_64 random(testsupport::testSeed());
    const std::string alphabet =
        "a/.\\\n\t\r\x7f\x01 x\x80\xbf\xa0\x8f\x90\xc2\xc3\xdf\xe0\xe6\xed\xef\xf0\xf4\xf5\xff"s + "\0"s;
    std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
    std::uniform_int_distribution<int> length(0, 12);
    for (int round = 0; round < 20000; ++round) {
        std::string name;
        for (int n = length(random); n > 0; --n) {
            name += alphabet[pick(random)];
        }
        const std::string escaped = cli::escapeName(name);
        SCOPED_TRACE(::testing::PrintToString(name));
        ASSERT_EQ(unescape(escaped), name);
        ASSERT_TRUE(cli::utf8ToUtf16(escaped).has_value());
        for (const char c : escaped) {
            ASSERT_FALSE(static_cast<unsigned char>(c) < 0x20 || c == 0x7f);
        }
        // Without bytes that are always escaped, a name passes unchanged exactly when the passphrase
        // decoder, written apart from the escaping, takes it as UTF-8.
        if (name.find_first_of("\\\n\t\r\x7f\x01\0"s) == std::string::npos) {
            ASSERT_EQ(escaped == name, cli::utf8ToUtf16(name).has_value());
        }
    }
}

} // namespace
