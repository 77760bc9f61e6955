// SPDX-License-Identifier: GPL-3.0-or-later
// File names before and after a run: encryption appends one extension, decryption removes the last one.
#pragma once

#include "engine/EncryptedFormat.h"

#include <filesystem>

namespace engine {

// report.pdf -> report.pdf.brisklet; a name that already ends in it gains it once more.
inline std::filesystem::path withEncryptedExtension(const std::filesystem::path& path) {
    std::filesystem::path target = path;
    target += ".";
    target += format::kExtension;
    return target;
}

// a.dat -> a and report.pdf.brisklet -> report.pdf, whatever the extension; a name without one (also
// a dot file such as .profile) stays as it is.
inline std::filesystem::path withoutLastExtension(const std::filesystem::path& path) {
    return std::filesystem::path(path).replace_extension();
}

} // namespace engine
