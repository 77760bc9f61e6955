// SPDX-License-Identifier: GPL-3.0-or-later
// Unbuffered full writes to a descriptor.
#include "cli/WriteAll.h"

#include <cerrno>
#include <unistd.h>

namespace cli {

void writeAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t put = ::write(fd, text.data(), text.size());
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put <= 0) {
            return;
        }
        text.remove_prefix(static_cast<std::size_t>(put));
    }
}

} // namespace cli
