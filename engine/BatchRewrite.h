// SPDX-License-Identifier: GPL-3.0-or-later
// The rewrite of one or more files of one folder with one journal: each file is read and its replacement
// written into the journal, the journal is made durable, and the pipeline takes them from there.
#pragma once

#include "engine/FileOperation.h"
#include "platform/Operation.h"

#include <functional>
#include <vector>

namespace engine {

class BatchRewrite {
public:
    // `files` all lie in one folder and are not owned. A stop asked of `owner` (not owned) leaves every
    // file untouched that has not been touched yet.
    BatchRewrite(std::vector<FileOperation*> files, const platform::Operation* owner);

    // Called once per file when its outcome is known, outside any of its attributed work, so that the
    // file can report.
    using Ended = std::function<void(FileOperation& file, int32_t code)>;
    // A file alone is held open from reading to renaming; in a batch each file is closed after reading
    // and opened again for its rewrite, so that a batch holds a few descriptors whatever its size.
    void run(const Ended& ended);

private:
    std::vector<FileOperation*> m_files;
    const platform::Operation* m_owner;
};

} // namespace engine
