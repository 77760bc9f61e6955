// SPDX-License-Identifier: GPL-3.0-or-later
// Bytes from the kernel's cryptographically secure random source.
#pragma once

#include <cstddef>

namespace platform {

// Fills length bytes at dest from getrandom(2); false only if the kernel refuses.
bool secureRandomBytes(void* dest, size_t length);

} // namespace platform
