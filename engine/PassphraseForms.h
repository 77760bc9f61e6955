// SPDX-License-Identifier: GPL-3.0-or-later
// A passphrase's Unicode normalization forms. The same words typed on another system may reach the program
// composed (é as one code point) or decomposed (e and a combining acute), and each gives another key.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace engine {

enum class PassphraseForm : uint8_t { Typed, Nfc, Nfd };

// Writes the NFC or NFD form of `text` (Typed: the text unchanged) into `out` and returns its length in
// UTF-16 code units. None, with `out` wiped, when `text` holds an unpaired surrogate or is longer than
// passphrase::kMaxLength units (neither has ever keyed a file), or when the form does not fit in `out`.
// The UTF-8 and code point copies made on the way live in buffers of this call and are wiped before it
// returns; the normalization library is only ever given those.
std::optional<std::size_t> normalizedForm(std::u16string_view text, PassphraseForm form,
                                          std::span<char16_t> out);

// The note on a file that opened with this form rather than the typed one: "opened with the passphrase's
// NFD form". Empty for Typed.
std::string_view openedWithNote(PassphraseForm form);

} // namespace engine
