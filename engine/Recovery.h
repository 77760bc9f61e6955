// Completes a rewrite that a crash, a kill or a failure interrupted, from its durable replacement.
#pragma once

#include "engine/PendingRewrite.h"
#include "engine/RewriteStore.h"
#include "platform/FileHandle.h"

#include <cstdint>
#include <filesystem>

namespace engine {

// The file is found by the record's identity under the name it had (then it is rolled forward from the
// replacement and renamed) or under its target name (then the rewrite had completed, and only the record
// and the replacement go). Anywhere else, or when the target name has been taken meanwhile, nothing
// changes: the record and the replacement stay, and the log says where the replacement is.
//
// `openFile` is the caller's handle on the file, open for update and locked, at the path `openPath`,
// when the caller found the record by the identity of a file it opened; null to open the file here.
// Returns StatusDone or StatusNotRenamed after logging "recovered after an interruption", or
// StatusFailed after logging why. A replacement that a live run holds is never touched.
int32_t recoverRewrite(const PendingRewrite& record, const RewriteStore& store,
                       platform::FileHandle* openFile, const std::filesystem::path& openPath);

} // namespace engine
