// SPDX-License-Identifier: GPL-3.0-or-later
// First-line reading for passphrases from descriptors and files.
#include "cli/LineReader.h"

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace cli {

LineRead readFirstLine(int fd) {
    LineRead result;
    char byte = 0;
    for (;;) {
        const ssize_t got = ::read(fd, &byte, 1);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            result.error = errno;
            result.line.wipe();
            break;
        }
        if (got == 0) {
            break;
        }
        if (byte == '\n') {
            if (!result.line.empty() && result.line.back() == '\r') {
                result.line.pop_back();
            }
            break;
        }
        if (result.line.full()) {
            result.tooLong = true;
            result.line.wipe();
            break;
        }
        result.line.push_back(byte);
    }
    crypto::secureWipe(&byte, sizeof byte);
    return result;
}

LineRead readFirstLineOfFile(const std::filesystem::path& file) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        LineRead failed;
        failed.error = errno;
        return failed;
    }
    LineRead result = readFirstLine(fd);
    ::close(fd);
    return result;
}

} // namespace cli
