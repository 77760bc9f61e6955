// Strict conversion of passphrase text from UTF-8, as it arrives, to UTF-16, as the engine takes it.
#pragma once

#include "cli/SecretText.h"

#include <optional>
#include <string_view>

namespace cli {

// None for anything that is not well-formed UTF-8: stray or missing continuation bytes, overlong forms,
// encoded surrogates, code points above U+10FFFF. Guessing at such bytes would give a different key
// than the same passphrase typed elsewhere, so they are refused instead.
std::optional<SecretUtf16> utf8ToUtf16(std::string_view utf8);

} // namespace cli
