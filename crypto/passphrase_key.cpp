// SPDX-License-Identifier: GPL-3.0-or-later
// Passphrase digest and key schedule preparation.
#include "crypto/passphrase_key.h"

#include "crypto/jh.h"
#include "crypto/wipe.h"

namespace passphrase {

namespace {

bool isHighSurrogate(char16_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}
bool isLowSurrogate(char16_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

bool hasUtf8Form(std::u16string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (isHighSurrogate(text[i])) {
            if (i + 1 == text.size() || !isLowSurrogate(text[i + 1])) {
                return false;
            }
            ++i;
        } else if (isLowSurrogate(text[i])) {
            return false;
        }
    }
    return true;
}

// Writes the UTF-8 form of `text` into `out` until `limit` bytes are written, cutting the last
// character's bytes if they do not fit. The UTF-8 form is never shorter than the UTF-16 length, so
// with limit = text.size() the output is always exactly `limit` bytes.
std::size_t encodeUtf8Prefix(std::u16string_view text, uint8_t* out, std::size_t limit) {
    std::size_t written = 0;
    auto put = [&](uint32_t byte) {
        if (written < limit) {
            out[written++] = static_cast<uint8_t>(byte);
        }
    };
    for (std::size_t i = 0; i < text.size() && written < limit; ++i) {
        uint32_t cp = text[i];
        if (isHighSurrogate(text[i])) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[++i] - 0xDC00u);
        }
        if (cp < 0x80) {
            put(cp);
        } else if (cp < 0x800) {
            put(0xC0 | cp >> 6);
            put(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            put(0xE0 | cp >> 12);
            put(0x80 | (cp >> 6 & 0x3F));
            put(0x80 | (cp & 0x3F));
        } else {
            put(0xF0 | cp >> 18);
            put(0x80 | (cp >> 12 & 0x3F));
            put(0x80 | (cp >> 6 & 0x3F));
            put(0x80 | (cp & 0x3F));
        }
    }
    return written;
}

} // namespace

std::string_view describe(Result result) {
    switch (result) {
    case Result::Ok:
        return {};
    case Result::TooLong:
        return "The passphrase is too long: at most 254 characters can be used.";
    case Result::NoUtf8Form:
        return "The passphrase contains an invalid character (an unpaired UTF-16 surrogate).";
    }
    return {};
}

Result digest(std::u16string_view passphrase, uint8_t (&digest)[kDigestSize]) {
    if (passphrase.size() > kMaxLength) {
        return Result::TooLong;
    }
    if (!hasUtf8Form(passphrase)) {
        return Result::NoUtf8Form;
    }
    uint8_t copy[kMaxLength + 1] = {};
    const std::size_t length = encodeUtf8Prefix(passphrase, copy, passphrase.size());

    jh::hashState state;
    jh::Init(&state, 256);
    jh::Update(&state, copy, static_cast<jh::DataLength>(length) * 8);
    jh::Final(&state, digest);

    crypto::secureWipe(copy, sizeof copy);
    crypto::secureWipe(&state, sizeof state);
    return Result::Ok;
}

int32_t prepareKey(twofish::keyInstance& key, uint8_t direction, uint8_t (&digest)[kDigestSize]) {
    const int32_t made = twofish::makeKey(&key, direction, 256, nullptr);
    for (int i = 0; i < 8; ++i) {
        uint8_t* word = digest + 4 * i;
        key.key32[i] =
            uint32_t{word[0]} | uint32_t{word[1]} << 8 | uint32_t{word[2]} << 16 | uint32_t{word[3]} << 24;
        crypto::secureWipe(word, 4);
    }
    twofish::computeKeySchedule(&key);
    return made;
}

} // namespace passphrase
