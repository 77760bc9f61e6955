// Overwrites key material in a way the optimiser may not drop as a dead store.
#pragma once

#include <cstddef>

namespace crypto {

inline void secureWipe(void* data, std::size_t length) {
    auto* bytes = static_cast<volatile unsigned char*>(data);
    for (std::size_t i = 0; i < length; ++i) {
        bytes[i] = 0;
    }
}

} // namespace crypto
