// SPDX-License-Identifier: GPL-3.0-or-later
// encrypt -: the encrypted format written as the plain text arrives, in memory that does not grow with it.
#pragma once

#include "cli/StreamResult.h"
#include "crypto/twofish.h"
#include "engine/EncryptedFormat.h"

#include <cstddef>
#include <cstdint>

namespace cli {

// The chunk read, transformed and written at a time by the stream commands.
inline constexpr std::size_t kStreamChunkLength = std::size_t{1} << 20;

// Reads `in` to its end and writes its encrypted form to `out`: the IV `iv`, the data blocks as they fill,
// then the final and check blocks, the bytes an in-place encryption with the same key and IV gives. `key`
// is the caller's working copy (the cipher may reorder its round keys). Done only when every byte has
// been written.
StreamResult encryptStream(int in, int out, twofish::keyInstance& key,
                           const uint8_t (&iv)[engine::format::kBlockSize]);

} // namespace cli
