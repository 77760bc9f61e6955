// The error a FileBuffer stores when it cannot open a file for update.
#pragma once

#include <filesystem>

namespace engine {

// The platform's code for an unknown file-read error; every open failure reports it.
inline constexpr int kFileReadUnknownError = 256;

struct FileError {
    int code = 0;
    std::filesystem::path url; // the file that could not be opened
    int systemError = 0;       // errno of the failed call
    bool inUse = false;        // another run holds the file
};

} // namespace engine
