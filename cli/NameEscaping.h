// SPDX-License-Identifier: GPL-3.0-or-later
// File names made safe to print as one line of output: C-style escapes that can be undone.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace cli {

// "\n", "\t" and "\\" for newline, tab and backslash; "\xHH" (two lower-case hex digits) for the other
// control bytes 0x00-0x1f and 0x7f, and for each byte that is not part of well-formed UTF-8 (stray or
// missing continuation bytes, overlong forms, encoded surrogates, code points above U+10FFFF). Everything
// else, non-ASCII text included, is copied unchanged. The result never holds a line break, and since every
// backslash in it starts an escape, the original bytes can be read back from it.
std::string escapeName(std::string_view bytes);

// The same for a path's bytes as the system has them.
inline std::string escapePath(const std::filesystem::path& path) {
    return escapeName(path.native());
}

} // namespace cli
