// SPDX-License-Identifier: GPL-3.0-or-later
// Where encrypt and decrypt --output-dir put each listed file's copy: DIR takes the files named directly,
// and each folder given becomes DIR/ITS-NAME/..., mirroring the folders inside it.
#pragma once

#include "engine/Cryptor.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace cli {

struct OutputFolders {
    std::filesystem::path outputDir;          // absolute, with the links of its existing part resolved
    std::vector<std::filesystem::path> byRow; // the folder of each row's copy
    std::optional<std::string> refusal;       // why nothing may run
};

// For the rows of `list`, which `paths` were added to. Refused, before anything is made, when DIR is one of
// the folders given or lies inside one (the run would copy its own copies), and when two folders given
// have the same name (their copies would meet in one folder). Nothing is made here.
OutputFolders planOutputFolders(const engine::Cryptor& list, const std::vector<std::filesystem::path>& paths,
                                const std::filesystem::path& outputDir);

} // namespace cli
