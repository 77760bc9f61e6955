// SPDX-License-Identifier: GPL-3.0-or-later
// Where a new encrypted file's initialisation vector comes from, with a test seam that fixes it so that two
// runs can be compared byte for byte.
#pragma once

#include "engine/EncryptedFormat.h"

#include <array>
#include <cstdint>

namespace engine {

// Fresh random bytes from the kernel's secure source; while a FixedInitialVector is alive, its bytes.
// False only when the kernel refuses.
bool newInitialVector(uint8_t (&iv)[format::kBlockSize]);

// A test seam: while alive, every encryption in the process uses `iv`. One at a time. Nothing that the
// shipped programs read can create one; costs them one relaxed atomic load per file.
class FixedInitialVector {
public:
    explicit FixedInitialVector(const std::array<uint8_t, format::kBlockSize>& iv);
    ~FixedInitialVector();
    FixedInitialVector(const FixedInitialVector&) = delete;
    FixedInitialVector& operator=(const FixedInitialVector&) = delete;
};

} // namespace engine
