// SPDX-License-Identifier: GPL-3.0-or-later
// Overwrites key material in a way the optimiser may not drop as a dead store.
#pragma once

#include <cstddef>
#include <cstring>

namespace crypto {

// A plain memset, then a barrier that tells the compiler the memory may be read afterwards: the stores
// stay, at memset's speed rather than a byte at a time.
inline void secureWipe(void* data, std::size_t length) {
    std::memset(data, 0, length);
    __asm__ __volatile__("" : : "r"(data) : "memory");
}

} // namespace crypto
