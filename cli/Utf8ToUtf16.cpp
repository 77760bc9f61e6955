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

} // namespace cli
