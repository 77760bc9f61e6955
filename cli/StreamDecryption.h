// SPDX-License-Identifier: GPL-3.0-or-later
// decrypt - and check -: the encrypted format read from standard input, whose end may only be known once
// it has been read.
#pragma once

#include "cli/StreamResult.h"
#include "crypto/twofish.h"

namespace cli {

// Reads the encrypted form from `in` to its end and writes the plain text to `out`. `key` is the
// caller's working copy, ordered for decryption.
//
// When `in` is a regular file its last two blocks are read first, as for a file decrypted in place: a
// wrong passphrase or an impossible length then ends the pass before anything is written. Otherwise the
// check block is only reached at the end: everything but the last chunk has been written by then, and
// WrongPassphrase or NotEncrypted means that what was written is not the plain text. The final block's
// bytes are written only after the check block has opened. Done only when every byte has been written.
StreamResult decryptStream(int in, int out, twofish::keyInstance& key);

// Whether `key` opens the encrypted form read from `in`: Done, WrongPassphrase or NotEncrypted, read to
// its end, or only its last two blocks when `in` is a regular file. Writes nothing.
StreamResult checkStream(int in, twofish::keyInstance& key);

} // namespace cli
