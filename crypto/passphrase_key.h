// SPDX-License-Identifier: GPL-3.0-or-later
// Turns a passphrase into the 256-bit cipher key: a single JH-256 hash, no salt, no stretching.
#pragma once

#include "crypto/twofish.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace passphrase {

// Every stored file was keyed through a 255-byte copy buffer holding the hashed bytes plus one more, so
// 254 UTF-16 code units is the longest passphrase that has ever produced a key.
inline constexpr std::size_t kMaxLength = 254;
inline constexpr std::size_t kDigestSize = 32;

enum class Result {
    Ok,
    TooLong,    // more than kMaxLength UTF-16 code units
    NoUtf8Form, // holds an unpaired surrogate
};

// A sentence for the user explaining why a passphrase was refused; empty for Ok.
std::string_view describe(Result result);

// JH-256 over the first N bytes of the passphrase's UTF-8 form, where N is its length in UTF-16 code
// units. For non-ASCII text this is a prefix of the UTF-8 bytes; existing files depend on exactly that.
// On refusal the digest is left untouched.
Result digest(std::u16string_view passphrase, uint8_t (&digest)[kDigestSize]);

// Fills `key` for one run from a digest: makeKey, the key words K[i] as little-endian words of the
// digest, the digest wiped word by word, the schedule computed. Returns makeKey's result (TRUE on
// success), which is deliberately examined only after the schedule has been computed.
int32_t prepareKey(twofish::keyInstance& key, uint8_t direction, uint8_t (&digest)[kDigestSize]);

} // namespace passphrase
