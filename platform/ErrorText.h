// SPDX-License-Identifier: GPL-3.0-or-later
// A system error in the few words a file's row shows: "permission denied", "no such file", ...
#pragma once

#include <string>

namespace platform {

// The errors a user meets most have short fixed words; any other is the system's own description,
// starting in lower case.
std::string errorText(int error);

} // namespace platform
