// SPDX-License-Identifier: GPL-3.0-or-later
// Reads the first line of a descriptor or a file: where a passphrase given by a script comes from.
#pragma once

#include "cli/SecretText.h"

#include <filesystem>

namespace cli {

struct LineRead {
    SecretUtf8 line;      // without its "\n" or "\r\n"
    int error = 0;        // errno of a failed open or read; 0 when the line was read
    bool tooLong = false; // kSecretCapacity bytes without a line end: far too long for a passphrase
};

// Reads byte by byte up to the first "\n" or the end of input, so that nothing after the line is taken
// from a descriptor that someone else reads on. A "\r" is dropped only right before the "\n".
LineRead readFirstLine(int fd);

LineRead readFirstLineOfFile(const std::filesystem::path& file);

} // namespace cli
