// SPDX-License-Identifier: GPL-3.0-or-later
// Which files an interrupted rewrite has left incomplete, as the journals beside them tell: each folder
// is read once.
#pragma once

#include <filesystem>
#include <map>
#include <set>
#include <string>

namespace engine {

class PendingFiles {
public:
    // Whether a journal in the file's folder names it, under its old or its new name. A journal that
    // cannot be read counts for every file of its folder: nothing there is known to be whole.
    bool isPending(const std::filesystem::path& file);

private:
    struct Folder {
        std::set<std::string> names;
        bool unreadableJournal = false;
    };
    std::map<std::filesystem::path, Folder> m_folders;
};

} // namespace engine
