// SPDX-License-Identifier: GPL-3.0-or-later
// Six words drawn at random, without bias, from the EFF long word list of 7,776 words.
#pragma once

#include <QStringList>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>

// The list is ui/resources/eff_large_wordlist.txt (CC-BY-3.0, Electronic Frontier Foundation), built in
// as a Qt resource. Each word is one of 7,776 equally likely, so six of them carry 6 × log2(7,776) = 77.55
// bits, whoever knows the list.
class PassphraseSuggestion {
public:
    static constexpr int kWords = 6;
    static constexpr int kListSize = 7776;
    // 6 × log2(7,776) = 77.549…, stated to one decimal without rounding up.
    static constexpr double kBits = 77.5;

    // Fills `length` bytes at `dest`; false when no random bytes could be had.
    using RandomBytes = std::function<bool(void* dest, std::size_t length)>;

    // The word list, read once; empty if the resource is missing.
    static const QStringList& wordList();
    // A number in [0, bound) with every value equally likely: a 32-bit draw at or above the largest
    // multiple of `bound` is thrown away and drawn again. None when the source fails.
    static std::optional<uint32_t> uniformBelow(uint32_t bound, const RandomBytes& random);
    // kWords words of the list; none when the source fails or the list is missing.
    static std::optional<QStringList> draw(const RandomBytes& random);
    // The same from the kernel's secure source (platform/SecureRandom.h).
    static std::optional<QStringList> draw();
};
