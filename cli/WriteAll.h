// SPDX-License-Identifier: GPL-3.0-or-later
// Writes straight to a descriptor, bypassing stdio buffers, for terminal output that must appear at once.
#pragma once

#include <string_view>

namespace cli {

// Writes all of `text`, retrying interrupted and partial writes; gives up silently on an error, since
// there is nowhere left to report it.
void writeAll(int fd, std::string_view text);

} // namespace cli
