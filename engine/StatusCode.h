// SPDX-License-Identifier: GPL-3.0-or-later
// Per-file outcome codes, shared by the operations, the file list and the front ends.
#pragma once

#include <cstdint>

namespace engine {

enum StatusCode : int32_t {
    StatusNone = 0,       // no result yet, or a failure that has been cleared
    StatusDone = 1,       // processed in place and renamed
    StatusNotRenamed = 2, // processed in place, but the rename failed; the file keeps its old name
    StatusFailed = 3,     // not processed
};

} // namespace engine
