// SPDX-License-Identifier: GPL-3.0-or-later
// How a pass of the encrypted format through standard input and output ended.
#pragma once

#include <cstdint>

namespace cli {

enum class StreamOutcome {
    Done,            // the whole output is written; for a check: the passphrase opens the input
    WrongPassphrase, // the check block did not open
    NotEncrypted,    // a length no encrypted file can have: not 48 bytes plus a multiple of 16
    ReadFailed,
    WriteFailed,
    CipherFailed, // the cipher processed another number of bits than it was given
};

struct StreamResult {
    StreamOutcome outcome = StreamOutcome::Done;
    int error = 0;        // errno for ReadFailed and WriteFailed
    uint64_t written = 0; // bytes written to the output, including those of a failed pass
};

} // namespace cli
