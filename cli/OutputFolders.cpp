// SPDX-License-Identifier: GPL-3.0-or-later
// The folders given, their names under DIR, and each row's place among them.
#include "cli/OutputFolders.h"

#include "cli/NameEscaping.h"
#include "platform/FileManager.h"

#include <algorithm>
#include <map>
#include <system_error>

namespace cli {

namespace {

namespace fs = std::filesystem;

// Absolute, "." and ".." gone, links resolved as far as the path exists, no trailing separator.
fs::path resolved(const fs::path& path) {
    std::error_code error;
    fs::path real = fs::weakly_canonical(fs::absolute(path, error), error);
    if (error) {
        real = fs::absolute(path, error).lexically_normal();
    }
    return real.has_filename() || !real.has_relative_path() ? real : real.parent_path();
}

// The path as the list spells its rows, without a trailing separator.
fs::path spelled(const fs::path& path) {
    const fs::path normal = path.lexically_normal();
    return normal.has_filename() || !normal.has_relative_path() ? normal : normal.parent_path();
}

bool isWithin(const fs::path& inner, const fs::path& outer) {
    const auto [outerEnd, innerAt] = std::mismatch(outer.begin(), outer.end(), inner.begin(), inner.end());
    return outerEnd == outer.end();
}

struct GivenFolder {
    fs::path spelledAs;
    std::string name;
};

} // namespace

OutputFolders planOutputFolders(const engine::Cryptor& list, const std::vector<fs::path>& paths,
                                const fs::path& outputDir) {
    OutputFolders plan;
    plan.outputDir = resolved(outputDir);
    std::vector<GivenFolder> folders;
    std::map<std::string, fs::path> byName;
    for (const fs::path& path : paths) {
        if (!platform::isDirectory(path)) {
            continue;
        }
        const fs::path real = resolved(path);
        if (isWithin(plan.outputDir, real)) {
            plan.refusal = "the output folder " + escapePath(outputDir) + " lies inside " + escapePath(path) +
                           ", a folder to copy from";
            return plan;
        }
        // The name as given, unless it is "." or "..", which only the folder's real path names.
        const fs::path given = spelled(path).filename();
        const std::string name =
            (given.empty() || given == "." || given == ".." ? real.filename() : given).string();
        const auto [earlier, added] = byName.try_emplace(name, path);
        if (!added) {
            plan.refusal = "two folders given are named " + escapeName(name) + " (" +
                           escapePath(earlier->second) + " and " + escapePath(path) +
                           "): their copies would meet in " + escapePath(plan.outputDir / name);
            return plan;
        }
        folders.push_back({spelled(path), name});
    }

    for (int64_t row = 0; row < static_cast<int64_t>(list.urlCount()); ++row) {
        fs::path folder = plan.outputDir;
        if (list.foundInFolderOnRow(row)) {
            const fs::path url = spelled(list.urlOnRow(row));
            const auto given = std::find_if(folders.begin(), folders.end(),
                                            [&](const GivenFolder& f) { return isWithin(url, f.spelledAs); });
            if (given != folders.end()) {
                folder =
                    plan.outputDir / given->name / url.lexically_relative(given->spelledAs).parent_path();
            }
        }
        plan.byRow.push_back(spelled(folder));
    }
    return plan;
}

} // namespace cli
