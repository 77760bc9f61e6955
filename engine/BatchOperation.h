// SPDX-License-Identifier: GPL-3.0-or-later
// Rewrites several small files of one folder with one journal and a few syncs shared between them,
// instead of a journal and several syncs for each.
#pragma once

#include "engine/FileOperation.h"
#include "platform/Operation.h"

#include <memory>
#include <vector>

namespace engine {

// A crash at any point leaves every file either as it was or completed by recovery, exactly as for a file
// rewritten alone. Every file still reports for itself, once, as soon as its outcome is known.
class BatchOperation final : public platform::Operation {
public:
    // The files all lie in one folder.
    explicit BatchOperation(std::vector<std::unique_ptr<FileOperation>> files);

    void main() override;

private:
    std::vector<std::unique_ptr<FileOperation>> m_files;
};

} // namespace engine
