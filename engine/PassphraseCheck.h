// SPDX-License-Identifier: GPL-3.0-or-later
// Tells whether a passphrase opens an encrypted file by decrypting only its check block; writes nothing.
#pragma once

#include "engine/EncryptedFormat.h"
#include "engine/PassphraseForms.h"

#include <filesystem>
#include <optional>

namespace engine {

class PendingFiles;
class RunKeys;

enum class CheckOutcome {
    Opens,
    WrongPassphrase,
    NotEncrypted, // a length no encrypted file can have: not a multiple of 16, or under 48 bytes
    Unreadable,
    RewritePending, // an interrupted rewrite left the file incomplete until it is recovered
    SymbolicLink,   // named by a link, which is not followed
    NotRegularFile, // a FIFO, a device, a socket: only looked at, never opened for reading
};

struct CheckResult {
    CheckOutcome outcome;
    int error = 0;                               // errno for Unreadable
    PassphraseForm form = PassphraseForm::Typed; // for Opens: the form whose key opened the file
};

// `keys` are made for DIR_DECRYPT; each is tried in turn. Reads the last two blocks of the file and writes
// nothing: in CBC the check block's plain text is D(last block) xor the block before it, so neither the
// IV nor the data are needed. The answer is the one a decryption run would reach at its check, with the
// same key; like that check it does not notice changed data blocks.
//
// With `pending`, a file that a journal beside it names is RewritePending without being read: it is
// neither its old nor its new content until it is recovered.
CheckResult checkFile(const std::filesystem::path& path, const RunKeys& keys,
                      PendingFiles* pending = nullptr);

// The reading half of checkFile: fills `lastTwo` with the file's last two blocks and returns none, or
// returns the outcome that ends the check before any key is needed (NotEncrypted, Unreadable,
// RewritePending, SymbolicLink, NotRegularFile). For testing many keys against one file.
std::optional<CheckResult> readCheckBlocks(const std::filesystem::path& path,
                                           uint8_t (&lastTwo)[2 * format::kBlockSize],
                                           PendingFiles* pending = nullptr);

} // namespace engine
