// SPDX-License-Identifier: GPL-3.0-or-later
// The target folder made on demand, the copy's file, and its publication.
#include "engine/CopyTarget.h"

#include "engine/LogMessages.h"
#include "platform/Log.h"

#include <cerrno>
#include <utility>

namespace engine {

namespace {

constexpr std::string_view kCopyPrefix = ".brisklet-copy-";

} // namespace

CopyTarget::CopyTarget(std::unique_ptr<platform::Folder> folder, platform::Folder::NewFile file,
                       std::string name)
    : m_folder(std::move(folder)), m_file(std::move(file)), m_name(std::move(name)) {}

CopyTarget::~CopyTarget() {
    m_file.handle->close();
    // An unnamed file goes with its descriptor; a named stand-in goes by name.
    if (!m_named && !m_file.name.empty()) {
        m_folder->remove(m_file.name);
    }
}

std::unique_ptr<CopyTarget> CopyTarget::create(const std::filesystem::path& folder, std::string name) {
    auto opened = platform::Folder::openMakingMissing(folder);
    if (!opened) {
        platform::log(logmsg::withErrorText(logmsg::kCouldNotMakeCopyFolder, errno));
        return nullptr;
    }
    auto file = opened->createFile(kCopyPrefix);
    if (!file) {
        platform::log(logmsg::withErrorText(logmsg::kCouldNotCreateCopy, errno));
        return nullptr;
    }
    return std::unique_ptr<CopyTarget>(new CopyTarget(std::move(opened), std::move(*file), std::move(name)));
}

CopyTarget::Published CopyTarget::publish() {
    if (!m_file.handle->sync()) {
        platform::log(logmsg::withErrorText(logmsg::kCouldNotSyncFile, errno));
        return Published::Failed;
    }
    const bool named = m_file.name.empty() ? m_folder->link(*m_file.handle, m_name)
                                           : m_folder->renameNoReplace(m_file.name, m_name);
    if (!named) {
        if (errno == EEXIST) {
            return Published::NameTaken;
        }
        platform::log(logmsg::withErrorText(logmsg::kCouldNotNameCopy, errno));
        return Published::Failed;
    }
    m_named = true;
    if (!m_folder->sync()) {
        platform::log(logmsg::copyNotDurable(platform::errorText(errno)));
        return Published::Failed;
    }
    return Published::Done;
}

} // namespace engine
