// SPDX-License-Identifier: GPL-3.0-or-later
// How the command-line front end addresses the user on standard error.
#pragma once

#include <string_view>

namespace cli {

// Writes "brisklet-cli: " and the message as one line on standard error.
void printError(std::string_view message);

} // namespace cli
