// SPDX-License-Identifier: GPL-3.0-or-later
// The candidates within two edits of a typed passphrase: their number, their order and their parts.
#include "cli/EditCandidates.h"
#include "cli/Utf8ToUtf16.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace {

using cli::EditCandidates;

// The edits of `text` written out plainly, in the order EditCandidates numbers them: deletions,
// substitutions (never by the character itself), insertions, swaps of unequal neighbours.
std::vector<std::u32string> plainEdits(const std::u32string& text, const std::u32string& alphabet) {
    std::vector<std::u32string> edits;
    for (std::size_t i = 0; i < text.size(); ++i) {
        edits.push_back(text.substr(0, i) + text.substr(i + 1));
    }
    for (std::size_t i = 0; i < text.size(); ++i) {
        for (const char32_t c : alphabet) {
            if (c != text[i]) {
                std::u32string edit = text;
                edit[i] = c;
                edits.push_back(edit);
            }
        }
    }
    for (std::size_t i = 0; i <= text.size(); ++i) {
        for (const char32_t c : alphabet) {
            edits.push_back(text.substr(0, i) + c + text.substr(i));
        }
    }
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != text[i + 1]) {
            std::u32string edit = text;
            std::swap(edit[i], edit[i + 1]);
            edits.push_back(edit);
        }
    }
    return edits;
}

std::vector<std::u32string> plainTwoEdits(const std::u32string& text, const std::u32string& alphabet) {
    std::vector<std::u32string> all;
    for (const auto& first : plainEdits(text, alphabet)) {
        for (auto& second : plainEdits(first, alphabet)) {
            all.push_back(std::move(second));
        }
    }
    return all;
}

std::vector<std::u32string> visited(const EditCandidates& candidates, int distance, unsigned part = 0,
                                    unsigned parts = 1) {
    std::vector<std::u32string> seen;
    candidates.visit(distance, part, parts, [&](std::u32string_view candidate, uint64_t) {
        seen.emplace_back(candidate);
        return true;
    });
    return seen;
}

// Restricted Damerau-Levenshtein distance: the fewest deletions, insertions, substitutions and swaps of
// neighbours that turn `a` into `b`, no character edited twice. Exact for distance 1; two edits in a row
// may edit one character twice ("ca" -> "ac" -> "abc") and measure 3 here.
std::size_t editDistance(const std::u32string& a, const std::u32string& b) {
    std::vector<std::vector<std::size_t>> d(a.size() + 1, std::vector<std::size_t>(b.size() + 1));
    for (std::size_t i = 0; i <= a.size(); ++i) {
        for (std::size_t j = 0; j <= b.size(); ++j) {
            if (i == 0 || j == 0) {
                d[i][j] = i + j;
                continue;
            }
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + (a[i - 1] != b[j - 1])});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
            }
        }
    }
    return d[a.size()][b.size()];
}

TEST(EditCandidatesTest, CountsMatchTheEditsWrittenOut) {
    struct Row {
        std::u32string typed;
        std::u32string base;
        uint64_t
            distanceOne; // by the formula n + n(a-1) + (n+1)a + unequal neighbours, a the alphabet's size
    };
    const std::vector<Row> rows = {
        {U"a", U"ab", 1 + 1 + 2 * 2 + 0},
        {U"ab", U"ab", 2 + 2 + 3 * 2 + 1},
        {U"aa", U"ab", 2 + 2 + 3 * 2 + 0},
        // A character outside the base alphabet joins it: a = 3.
        {U"abc", U"ab", 3 + 3 * 2 + 4 * 3 + 2},
        {U"x", U"", 1 + 0 + 2 * 1 + 0},
        // Printable ASCII, 95 characters.
        {U"pass", cli::printableAscii(), 4 + 4 * 94 + 5 * 95 + 2},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::PrintToString(std::vector<uint32_t>(row.typed.begin(), row.typed.end())));
        const EditCandidates candidates(row.typed, row.base);
        EXPECT_EQ(candidates.count(1), row.distanceOne);
        EXPECT_EQ(visited(candidates, 1), plainEdits(row.typed, candidates.alphabet()));
        // Distance 2, brute force over the written-out edits of each written-out edit; in full where the
        // alphabet is tiny.
        uint64_t two = 0;
        for (const auto& first : plainEdits(row.typed, candidates.alphabet())) {
            two += plainEdits(first, candidates.alphabet()).size();
        }
        EXPECT_EQ(candidates.count(2), two);
        if (candidates.alphabet().size() <= 3) {
            EXPECT_EQ(visited(candidates, 2), plainTwoEdits(row.typed, candidates.alphabet()));
        }
    }
}

TEST(EditCandidatesTest, TwentyCharactersGiveMillionsOfCandidatesAndNoGlobalDeduplication) {
    // Twenty distinct printable characters: 20 + 20 * 94 + 21 * 95 + 19 = 3914 at distance 1.
    const EditCandidates candidates(U"abcdefghijklmnopqrst");
    EXPECT_EQ(candidates.count(1), 3914u);
    EXPECT_GT(candidates.count(2), 15'000'000u);
    EXPECT_LT(candidates.count(2), 16'000'000u);
}

TEST(EditCandidatesTest, EveryOneEditVariantComesBeforeAnyTwoEditOne) {
    for (const std::u32string typed : {U"abc", U"aab", U"ba"}) {
        const EditCandidates candidates(typed, U"abc");
        const auto one = visited(candidates, 1);
        const std::set<std::u32string> oneSet(one.begin(), one.end());
        for (const auto& candidate : one) {
            EXPECT_EQ(editDistance(candidate, typed), 1u);
        }
        // Whatever lies one edit away is found at distance 1, even where distance 2 gives it again.
        for (const auto& candidate : visited(candidates, 2)) {
            if (editDistance(candidate, typed) == 1) {
                EXPECT_TRUE(oneSet.contains(candidate));
            }
        }
    }
}

TEST(EditCandidatesTest, PartsTakeEveryCandidateExactlyOnce) {
    const EditCandidates candidates(U"abc", U"ab");
    for (const int distance : {1, 2}) {
        for (const unsigned parts : {1u, 2u, 3u, 7u, 200u}) {
            std::vector<std::u32string> joined;
            for (unsigned part = 0; part < parts; ++part) {
                // A part's first edits are its own, every parts-th, and never go back.
                uint64_t last = 0;
                candidates.visit(distance, part, parts, [&](std::u32string_view, uint64_t first) {
                    EXPECT_EQ(first % parts, part);
                    EXPECT_GE(first, last);
                    last = first;
                    return true;
                });
                const auto some = visited(candidates, distance, part, parts);
                joined.insert(joined.end(), some.begin(), some.end());
            }
            auto whole = visited(candidates, distance);
            std::sort(joined.begin(), joined.end());
            std::sort(whole.begin(), whole.end());
            EXPECT_EQ(joined, whole) << distance << " in " << parts;
        }
    }
}

TEST(EditCandidatesTest, VisitingStopsWhenTheVisitorSaysSo) {
    const EditCandidates candidates(U"abc", U"ab");
    for (const int distance : {1, 2}) {
        int calls = 0;
        EXPECT_FALSE(
            candidates.visit(distance, 0, 1, [&](std::u32string_view, uint64_t) { return ++calls < 5; }));
        EXPECT_EQ(calls, 5);
    }
}

TEST(EditCandidatesTest, CharactersBeyondTheBmpAreEditedWhole) {
    // "a😀b" arrives as four UTF-16 units and is three characters.
    const auto typed = cli::utf16ToCodePoints(u"a\U0001F600b");
    ASSERT_EQ(typed.view(), U"a\U0001F600b");
    const EditCandidates candidates(typed.view());
    // The emoji joins printable ASCII (a = 96): 3 + 3 * 95 + 4 * 96 + 2.
    EXPECT_EQ(candidates.count(1), 674u);
    const auto one = visited(candidates, 1);
    const std::vector<std::u32string> deletions(one.begin(), one.begin() + 3);
    EXPECT_EQ(deletions, (std::vector<std::u32string>{U"\U0001F600b", U"ab", U"a\U0001F600"}));
    const std::u32string swapped = U"\U0001F600ab";
    EXPECT_NE(std::find(one.begin(), one.end(), swapped), one.end());
    // Each candidate goes back to well-formed UTF-16: a pair for the emoji, never half of one.
    for (const auto& candidate : one) {
        cli::SecretUtf16 utf16;
        cli::appendUtf16(candidate, utf16);
        EXPECT_EQ(cli::utf16ToCodePoints(utf16.view()).view(), candidate);
    }
}

} // namespace
