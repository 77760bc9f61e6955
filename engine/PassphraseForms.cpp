// SPDX-License-Identifier: GPL-3.0-or-later
// NFC and NFD through utf8proc, in buffers this file owns and wipes.
#include "engine/PassphraseForms.h"

#include "crypto/passphrase_key.h"
#include "crypto/wipe.h"
#include "engine/LogMessages.h"

#include <utf8proc.h>

namespace engine {

namespace {

// A UTF-16 unit takes at most three UTF-8 bytes; a surrogate pair takes four for its two units.
constexpr std::size_t kUtf8Capacity = 3 * passphrase::kMaxLength;
// No character's full canonical decomposition is longer than four code points (U+1F82 and its kin), so the
// decomposed text of any passphrase that can key a file fits, also on its way to NFC.
constexpr std::size_t kCodePointCapacity = 4 * passphrase::kMaxLength;

// Strict UTF-8 of `text` into `out`; none for an unpaired surrogate.
std::optional<std::size_t> encodeUtf8(std::u16string_view text, uint8_t (&out)[kUtf8Capacity]) {
    std::size_t length = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t codePoint = text[i];
        if (codePoint >= 0xD800 && codePoint <= 0xDFFF) {
            const bool paired =
                codePoint <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF;
            if (!paired) {
                return std::nullopt;
            }
            codePoint = 0x10000 + ((codePoint - 0xD800) << 10) + (text[++i] - 0xDC00u);
        }
        length += static_cast<std::size_t>(
            utf8proc_encode_char(static_cast<utf8proc_int32_t>(codePoint), out + length));
    }
    return length;
}

// The code points as UTF-16 into `out`; none when they do not fit.
std::optional<std::size_t> encodeUtf16(std::span<const utf8proc_int32_t> codePoints,
                                       std::span<char16_t> out) {
    std::size_t length = 0;
    for (const utf8proc_int32_t codePoint : codePoints) {
        const bool pair = codePoint >= 0x10000;
        if (length + (pair ? 2 : 1) > out.size()) {
            return std::nullopt;
        }
        if (pair) {
            out[length++] = static_cast<char16_t>(0xD800 + ((codePoint - 0x10000) >> 10));
            out[length++] = static_cast<char16_t>(0xDC00 + ((codePoint - 0x10000) & 0x3FF));
        } else {
            out[length++] = static_cast<char16_t>(codePoint);
        }
    }
    return length;
}

// STABLE, as utf8proc's own NFC and NFD have it. With no options at all the text passes through unchanged.
utf8proc_option_t optionsFor(PassphraseForm form) {
    switch (form) {
    case PassphraseForm::Nfc:
        return static_cast<utf8proc_option_t>(UTF8PROC_STABLE | UTF8PROC_COMPOSE);
    case PassphraseForm::Nfd:
        return static_cast<utf8proc_option_t>(UTF8PROC_STABLE | UTF8PROC_DECOMPOSE);
    case PassphraseForm::Typed:
        break;
    }
    return static_cast<utf8proc_option_t>(0);
}

} // namespace

std::optional<std::size_t> normalizedForm(std::u16string_view text, PassphraseForm form,
                                          std::span<char16_t> out) {
    std::optional<std::size_t> length;
    uint8_t utf8[kUtf8Capacity];
    utf8proc_int32_t codePoints[kCodePointCapacity];
    if (const auto utf8Length =
            text.size() <= passphrase::kMaxLength ? encodeUtf8(text, utf8) : std::nullopt) {
        // The decomposition, canonically ordered, then (for NFC) composed in place.
        const utf8proc_option_t options = optionsFor(form);
        const utf8proc_ssize_t decomposed = utf8proc_decompose_custom(
            utf8, static_cast<utf8proc_ssize_t>(*utf8Length), codePoints,
            static_cast<utf8proc_ssize_t>(kCodePointCapacity), options, nullptr, nullptr);
        if (decomposed >= 0 && static_cast<std::size_t>(decomposed) <= kCodePointCapacity) {
            const utf8proc_ssize_t normalized = utf8proc_normalize_utf32(codePoints, decomposed, options);
            if (normalized >= 0) {
                length = encodeUtf16({codePoints, static_cast<std::size_t>(normalized)}, out);
            }
        }
    }
    crypto::secureWipe(utf8, sizeof utf8);
    crypto::secureWipe(codePoints, sizeof codePoints);
    if (!length) {
        crypto::secureWipe(out.data(), out.size_bytes());
    }
    return length;
}

std::string_view openedWithNote(PassphraseForm form) {
    switch (form) {
    case PassphraseForm::Nfc:
        return logmsg::kOpenedWithNfcForm;
    case PassphraseForm::Nfd:
        return logmsg::kOpenedWithNfdForm;
    case PassphraseForm::Typed:
        break;
    }
    return {};
}

} // namespace engine
