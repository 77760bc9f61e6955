// SPDX-License-Identifier: GPL-3.0-or-later
// Numbering, counting and visiting the edits of a passphrase's code points.
#include "cli/EditCandidates.h"

#include "crypto/wipe.h"

namespace cli {

namespace {

uint64_t swapCount(std::u32string_view text) {
    uint64_t swaps = 0;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        swaps += text[i] != text[i + 1] ? 1 : 0;
    }
    return swaps;
}

// Candidate buffers hold passphrase text: reserved once, so that growing never leaves an unwiped copy,
// and wiped when done.
class ScratchText {
public:
    explicit ScratchText(std::size_t capacity) { m_text.reserve(capacity); }
    ~ScratchText() { crypto::secureWipe(m_text.data(), m_text.capacity() * sizeof(char32_t)); }
    ScratchText(const ScratchText&) = delete;
    ScratchText& operator=(const ScratchText&) = delete;
    std::u32string& get() { return m_text; }

private:
    std::u32string m_text;
};

} // namespace

std::u32string printableAscii() {
    std::u32string ascii;
    for (char32_t c = 0x20; c <= 0x7E; ++c) {
        ascii.push_back(c);
    }
    return ascii;
}

EditCandidates::EditCandidates(std::u32string_view typed, std::u32string_view baseAlphabet)
    : m_typed(typed), m_alphabet(baseAlphabet) {
    for (const char32_t c : typed) {
        if (m_alphabet.find(c) == std::u32string::npos) {
            m_alphabet.push_back(c);
        }
    }
}

EditCandidates::~EditCandidates() {
    crypto::secureWipe(m_typed.data(), m_typed.size() * sizeof(char32_t));
}

uint64_t EditCandidates::editCount(std::u32string_view text, std::u32string_view alphabet) {
    const uint64_t length = text.size();
    const uint64_t letters = alphabet.size();
    // Every character of a candidate is in the alphabet, so each position has letters - 1 substitutions.
    return length + length * (letters - 1) + (length + 1) * letters + swapCount(text);
}

void EditCandidates::applyEdit(std::u32string_view text, std::u32string_view alphabet, uint64_t index,
                               std::u32string& out) {
    const uint64_t length = text.size();
    const uint64_t letters = alphabet.size();
    out.assign(text);
    if (index < length) {
        out.erase(index, 1);
        return;
    }
    index -= length;
    if (index < length * (letters - 1)) {
        const auto position = static_cast<std::size_t>(index / (letters - 1));
        auto letter = static_cast<std::size_t>(index % (letters - 1));
        // The alphabet without the character itself: those after it move down by one.
        if (letter >= alphabet.find(text[position])) {
            ++letter;
        }
        out[position] = alphabet[letter];
        return;
    }
    index -= length * (letters - 1);
    if (index < (length + 1) * letters) {
        out.insert(static_cast<std::size_t>(index / letters), 1, alphabet[index % letters]);
        return;
    }
    index -= (length + 1) * letters;
    for (std::size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != text[i + 1] && index-- == 0) {
            std::swap(out[i], out[i + 1]);
            return;
        }
    }
}

uint64_t EditCandidates::count(int distance) const {
    if (distance == 1) {
        return editCount(m_typed, m_alphabet);
    }
    if (distance != 2) {
        return 0;
    }
    ScratchText first(m_typed.size() + 2);
    uint64_t total = 0;
    const uint64_t firstEdits = editCount(m_typed, m_alphabet);
    for (uint64_t i = 0; i < firstEdits; ++i) {
        applyEdit(m_typed, m_alphabet, i, first.get());
        total += editCount(first.get(), m_alphabet);
    }
    return total;
}

bool EditCandidates::visit(int distance, unsigned part, unsigned parts, const Visitor& visitor) const {
    if ((distance != 1 && distance != 2) || part >= parts) {
        return true;
    }
    ScratchText first(m_typed.size() + 2);
    ScratchText second(m_typed.size() + 3);
    const uint64_t firstEdits = editCount(m_typed, m_alphabet);
    for (uint64_t i = part; i < firstEdits; i += parts) {
        applyEdit(m_typed, m_alphabet, i, first.get());
        if (distance == 1) {
            if (!visitor(first.get(), i)) {
                return false;
            }
            continue;
        }
        const uint64_t secondEdits = editCount(first.get(), m_alphabet);
        for (uint64_t j = 0; j < secondEdits; ++j) {
            applyEdit(first.get(), m_alphabet, j, second.get());
            if (!visitor(second.get(), i)) {
                return false;
            }
        }
    }
    return true;
}

} // namespace cli
