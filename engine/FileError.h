// SPDX-License-Identifier: GPL-3.0-or-later
// The error a FileBuffer stores when it cannot open a file for update.
#pragma once

#include <cstdint>
#include <filesystem>

namespace engine {

// The platform's code for an unknown file-read error; every open failure reports it.
inline constexpr int kFileReadUnknownError = 256;

// Why a file was not opened, beyond the code.
enum class OpenRefusal {
    SystemError,    // a call failed: systemError says why
    InUse,          // another run holds the file
    SymbolicLink,   // the path ends in a symbolic link, which is not followed
    NotRegularFile, // a FIFO, a device, a socket or a folder
    SeveralNames,   // hard links: rewriting the file in place would change every name's content
    ReadOnly,       // its owner may not write it, which is respected even where the user could
};

struct FileError {
    int code = 0;
    std::filesystem::path url; // the file that could not be opened
    OpenRefusal refusal = OpenRefusal::SystemError;
    int systemError = 0;    // errno, for SystemError
    uint64_t linkCount = 0; // for SeveralNames
};

} // namespace engine
