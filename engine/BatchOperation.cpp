// SPDX-License-Identifier: GPL-3.0-or-later
// A batch of small files as one queued operation.
#include "engine/BatchOperation.h"

#include "engine/BatchRewrite.h"
#include "engine/StatusCode.h"

#include <utility>

namespace engine {

BatchOperation::BatchOperation(std::vector<std::unique_ptr<FileOperation>> files)
    : m_files(std::move(files)) {}

void BatchOperation::main() {
    std::vector<FileOperation*> files;
    for (auto& file : m_files) {
        files.push_back(file.get());
    }
    try {
        BatchRewrite(files, this).run([](FileOperation& file, int32_t code) { file.row().report(code); });
    } catch (...) {
        // Only allocation can fail outside the files' own steps; every file still has to report, or the
        // run never ends.
    }
    for (auto& file : m_files) {
        file->row().report(StatusFailed);
    }
}

} // namespace engine
