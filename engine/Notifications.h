// SPDX-License-Identifier: GPL-3.0-or-later
// Names of the notifications the file list posts, with the Cryptor as their object.
#pragma once

#include <string_view>

namespace engine {

// One file of a run has reported and others are still running.
inline constexpr std::string_view kOperationUpdate = "BriskletOperationUpdate";
// The last file of a run has reported; the run is over.
inline constexpr std::string_view kOperationTerminated = "BriskletOperationTerminated";

} // namespace engine
