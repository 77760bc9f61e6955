// SPDX-License-Identifier: GPL-3.0-or-later
// Strict UTF-8 decoding into UTF-16 code units.
#include "cli/Utf8ToUtf16.h"

#include <cstdint>

namespace cli {

namespace {

struct Sequence {
    int length;        // bytes, lead byte included; 0 for a byte that cannot start a character
    uint32_t lowest;   // smallest code point this length may carry; below is an overlong form
    uint32_t leadBits; // the code point bits carried by the lead byte
};

Sequence sequenceOf(uint8_t lead) {
    if (lead < 0x80) {
        return {1, 0, lead};
    }
    if ((lead & 0xE0) == 0xC0) {
        return {2, 0x80, lead & 0x1Fu};
    }
    if ((lead & 0xF0) == 0xE0) {
        return {3, 0x800, lead & 0x0Fu};
    }
    if ((lead & 0xF8) == 0xF0) {
        return {4, 0x10000, lead & 0x07u};
    }
    return {0, 0, 0};
}

} // namespace

std::optional<Utf8Character> firstCharacter(std::string_view utf8) {
    if (utf8.empty()) {
        return std::nullopt;
    }
    const Sequence sequence = sequenceOf(static_cast<uint8_t>(utf8[0]));
    if (sequence.length == 0 || utf8.size() < static_cast<std::size_t>(sequence.length)) {
        return std::nullopt;
    }
    uint32_t codePoint = sequence.leadBits;
    for (int k = 1; k < sequence.length; ++k) {
        const auto byte = static_cast<uint8_t>(utf8[static_cast<std::size_t>(k)]);
        if ((byte & 0xC0) != 0x80) {
            return std::nullopt;
        }
        codePoint = codePoint << 6 | (byte & 0x3Fu);
    }
    const bool surrogate = codePoint >= 0xD800 && codePoint <= 0xDFFF;
    if (codePoint < sequence.lowest || surrogate || codePoint > 0x10FFFF) {
        return std::nullopt;
    }
    return Utf8Character{codePoint, static_cast<std::size_t>(sequence.length)};
}

std::optional<SecretUtf16> utf8ToUtf16(std::string_view utf8) {
    SecretUtf16 result;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto character = firstCharacter(utf8.substr(i));
        if (!character) {
            return std::nullopt;
        }
        const uint32_t codePoint = character->codePoint;
        if (codePoint < 0x10000) {
            result.push_back(static_cast<char16_t>(codePoint));
        } else {
            result.push_back(static_cast<char16_t>(0xD800 + ((codePoint - 0x10000) >> 10)));
            result.push_back(static_cast<char16_t>(0xDC00 + ((codePoint - 0x10000) & 0x3FF)));
        }
        i += character->length;
    }
    return result;
}

SecretCodePoints utf16ToCodePoints(std::u16string_view utf16) {
    SecretCodePoints result;
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        const char16_t unit = utf16[i];
        const bool pairs = unit >= 0xD800 && unit <= 0xDBFF && i + 1 < utf16.size() &&
                           utf16[i + 1] >= 0xDC00 && utf16[i + 1] <= 0xDFFF;
        if (pairs) {
            result.push_back(0x10000 + ((static_cast<char32_t>(unit) - 0xD800) << 10) +
                             (utf16[i + 1] - 0xDC00));
            ++i;
        } else {
            result.push_back(unit);
        }
    }
    return result;
}

void appendUtf16(std::u32string_view codePoints, SecretUtf16& out) {
    for (const char32_t codePoint : codePoints) {
        if (codePoint < 0x10000) {
            out.push_back(static_cast<char16_t>(codePoint));
        } else {
            out.push_back(static_cast<char16_t>(0xD800 + ((codePoint - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((codePoint - 0x10000) & 0x3FF)));
        }
    }
}

void appendUtf8(std::u32string_view codePoints, SecretUtf8& out) {
    for (const char32_t codePoint : codePoints) {
        if (codePoint < 0x80) {
            out.push_back(static_cast<char>(codePoint));
            continue;
        }
        // The lead byte's marker bits and the number of continuation bytes after it.
        const int continuations = codePoint < 0x800 ? 1 : codePoint < 0x10000 ? 2 : 3;
        constexpr unsigned char kLeads[] = {0, 0xC0, 0xE0, 0xF0};
        out.push_back(static_cast<char>(kLeads[continuations] | (codePoint >> (6 * continuations))));
        for (int shift = 6 * (continuations - 1); shift >= 0; shift -= 6) {
            out.push_back(static_cast<char>(0x80 | ((codePoint >> shift) & 0x3F)));
        }
    }
}

} // namespace cli
