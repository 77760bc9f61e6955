// SPDX-License-Identifier: GPL-3.0-or-later
// Tests one candidate passphrase against an encrypted file's check block, as check does for a typed one.
#pragma once

#include "cli/SecretText.h"
#include "crypto/passphrase_key.h"
#include "engine/EncryptedFormat.h"
#include "engine/Secret.h"

#include <cstdint>
#include <string_view>

namespace cli {

// One per thread: it keeps its own key schedule, digest and UTF-16 buffer, all wiped as they go out of use.
class CandidateCheck {
public:
    // `lastTwo`: the file's last two blocks (engine::readCheckBlocks), copied. They are cipher text, which
    // anyone who can read the file has, so only the key material needs wiping.
    explicit CandidateCheck(const uint8_t (&lastTwo)[2 * engine::format::kBlockSize]);
    CandidateCheck(const CandidateCheck&) = delete;
    CandidateCheck& operator=(const CandidateCheck&) = delete;

    // Whether the key of `candidate`, given as code points, opens the file. False for an empty candidate,
    // which no file was encrypted with, and for one longer than passphrase::kMaxLength UTF-16 units, which
    // has never produced a key.
    bool opens(std::u32string_view candidate);

private:
    uint8_t m_lastTwo[2 * engine::format::kBlockSize];
    SecretUtf16 m_utf16;
    engine::Secret<uint8_t[passphrase::kDigestSize]> m_digest;
    engine::Secret<twofish::keyInstance> m_key;
};

} // namespace cli
