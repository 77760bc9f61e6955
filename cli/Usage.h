// SPDX-License-Identifier: GPL-3.0-or-later
// The texts of --help and --version.
#pragma once

#include <string>
#include <string_view>

namespace cli {

std::string_view usageText();

// "brisklet-cli" and the project's version, e.g. "brisklet-cli 0.1.0".
std::string versionLine();

} // namespace cli
