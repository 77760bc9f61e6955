// SPDX-License-Identifier: GPL-3.0-or-later
// secureRandomBytes over getrandom(2).
#include "platform/SecureRandom.h"

#include <cerrno>
#include <cstdint>
#include <sys/random.h>

namespace platform {

bool secureRandomBytes(void* dest, size_t length) {
    auto* bytes = static_cast<uint8_t*>(dest);
    size_t done = 0;
    while (done < length) {
        // Requests above 256 bytes may return short or be interrupted by a signal; both are simply continued.
        const ssize_t got = ::getrandom(bytes + done, length - done, 0);
        if (got < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        done += static_cast<size_t>(got);
    }
    return true;
}

} // namespace platform
