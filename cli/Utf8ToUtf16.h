// SPDX-License-Identifier: GPL-3.0-or-later
// Strict UTF-8: the conversion of passphrase text, as it arrives, to UTF-16, as the engine takes it, and
// the well-formed characters of names.
#pragma once

#include "cli/SecretText.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace cli {

struct Utf8Character {
    uint32_t codePoint;
    std::size_t length; // bytes
};

// The character `utf8` starts with; none when it does not start with a well-formed one (see below).
std::optional<Utf8Character> firstCharacter(std::string_view utf8);

// None for anything that is not well-formed UTF-8: stray or missing continuation bytes, overlong forms,
// encoded surrogates, code points above U+10FFFF. Guessing at such bytes would give a different key
// than the same passphrase typed elsewhere, so they are refused instead.
std::optional<SecretUtf16> utf8ToUtf16(std::string_view utf8);

// The code points of UTF-16 text that came from utf8ToUtf16, so that a surrogate pair is one character.
// An unpaired surrogate, which that text cannot hold, is kept as it is.
SecretCodePoints utf16ToCodePoints(std::u16string_view utf16);

// Appends code points as UTF-16, a surrogate pair for each one beyond the BMP; and as UTF-8.
void appendUtf16(std::u32string_view codePoints, SecretUtf16& out);
void appendUtf8(std::u32string_view codePoints, SecretUtf8& out);

} // namespace cli
