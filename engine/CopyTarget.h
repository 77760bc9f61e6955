// SPDX-License-Identifier: GPL-3.0-or-later
// A file's transformed copy in another folder, made so that its name never shows a partial copy: written
// into an unnamed file in the target folder, synced, linked under its name without replacing anything, and
// the folder synced.
#pragma once

#include "platform/FileHandle.h"
#include "platform/Folder.h"

#include <filesystem>
#include <memory>
#include <string>

namespace engine {

// Used by one operation on one thread. Failures are logged with why (the lines become the row's reason);
// nothing throws except allocation.
class CopyTarget {
public:
    // Opens `folder`, first making it and its missing parents owner-only (0700), each synced into its
    // parent, and creates the copy's file in it: unnamed, or where the file system has none, under a
    // hidden name (".brisklet-copy-" and twelve characters) that goes again unless the copy is published.
    // `name` is the copy's name to be. Null on failure.
    static std::unique_ptr<CopyTarget> create(const std::filesystem::path& folder, std::string name);
    ~CopyTarget();
    CopyTarget(const CopyTarget&) = delete;
    CopyTarget& operator=(const CopyTarget&) = delete;

    // Where the copy is written, from offset 0.
    platform::FileHandle& handle() { return *m_file.handle; }

    enum class Published {
        Done,
        NameTaken, // something took the name meanwhile; it was left alone and the copy goes
        Failed,
    };
    // Syncs the copy, gives it its name without replacing anything, and syncs the folder. Only Done leaves
    // the name; once named the copy stays even when the folder sync then fails (Failed, logged).
    Published publish();

private:
    CopyTarget(std::unique_ptr<platform::Folder> folder, platform::Folder::NewFile file, std::string name);

    std::unique_ptr<platform::Folder> m_folder;
    platform::Folder::NewFile m_file;
    const std::string m_name;
    bool m_named = false;
};

} // namespace engine
