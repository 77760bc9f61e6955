// SPDX-License-Identifier: GPL-3.0-or-later
// The passphrases within one or two typing mistakes of the one the user typed, in a fixed order.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace cli {

// Printable ASCII, U+0020 to U+007E: what a mistyped key most likely produced.
std::u32string printableAscii();

// One edit of a text of code points is a deletion of one character, a substitution of one character by
// another from the alphabet, an insertion of one character from the alphabet, or a swap of two
// neighbours; they are numbered in that order, by position and then by the alphabet's order. Two local
// skips keep an edit from giving its text back unchanged: a character is never substituted by itself, and
// two equal neighbours are never swapped. Nothing else is de-duplicated: a set of every candidate seen
// would need memory in proportion to the millions of candidates, for at most half of them saved.
//
// The candidates of distance 1 are the edits of the typed text; those of distance 2 are, for each of them
// in order, its own edits in order. The alphabet is the base alphabet followed by the typed text's other
// characters, in the order of their first occurrence, so every edit keeps to the characters seen.
class EditCandidates {
public:
    // `first` is the number of the candidate's first edit: candidates with a smaller one come earlier in
    // the order, whichever part they are in, and within one part it never decreases.
    using Visitor = std::function<bool(std::u32string_view candidate, uint64_t first)>;

    explicit EditCandidates(std::u32string_view typed, std::u32string_view baseAlphabet = printableAscii());
    ~EditCandidates();
    EditCandidates(const EditCandidates&) = delete;
    EditCandidates& operator=(const EditCandidates&) = delete;

    const std::u32string& alphabet() const { return m_alphabet; }

    // How many candidates `distance` (1 or 2) gives; 0 for any other distance.
    uint64_t count(int distance) const;

    // Calls `visit` on part `part` of `parts` (part < parts) of the candidates of `distance`, in order,
    // until it returns false; returns false when it did. Distance 1 is split candidate by candidate,
    // distance 2 by first edit; either way each part gets every parts-th, so that the parts take about
    // equally long, and together they are exactly the candidates of that distance. The view passed to
    // `visit` lives until it returns and is wiped afterwards.
    bool visit(int distance, unsigned part, unsigned parts, const Visitor& visit) const;

    // The number of edits of `text` over `alphabet`, and edit number `index` (< that number) of it. Every
    // character of `text` must be in `alphabet`.
    static uint64_t editCount(std::u32string_view text, std::u32string_view alphabet);
    static void applyEdit(std::u32string_view text, std::u32string_view alphabet, uint64_t index,
                          std::u32string& out);

private:
    std::u32string m_typed;
    std::u32string m_alphabet;
};

} // namespace cli
