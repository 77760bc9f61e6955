// SPDX-License-Identifier: GPL-3.0-or-later
// Key derivation and the check-block test for one candidate at a time.
#include "cli/CandidateCheck.h"

#include "cli/Utf8ToUtf16.h"

#include <cstring>

namespace cli {

CandidateCheck::CandidateCheck(const uint8_t (&lastTwo)[2 * engine::format::kBlockSize]) {
    std::memcpy(m_lastTwo, lastTwo, sizeof m_lastTwo);
}

bool CandidateCheck::opens(std::u32string_view candidate) {
    m_utf16.wipe();
    if (candidate.empty() || candidate.size() > passphrase::kMaxLength) {
        return false;
    }
    appendUtf16(candidate, m_utf16);
    const bool keyed =
        passphrase::digest(m_utf16.view(), m_digest.get()) == passphrase::Result::Ok &&
        passphrase::prepareKey(m_key.get(), twofish::DIR_DECRYPT, m_digest.get()) == twofish::TRUE;
    m_utf16.wipe();
    return keyed && engine::format::checkBlockOpens(m_key.get(), m_lastTwo);
}

} // namespace cli
