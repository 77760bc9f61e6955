// The batch of small files: the steps of each file's rewrite, with the syncs shared between them.
#include "engine/SmallFilesOperation.h"

#include "engine/FileBuffer.h"
#include "engine/LogMessages.h"
#include "engine/StatusCode.h"
#include "engine/TempBuffer.h"
#include "platform/FileManager.h"
#include "platform/Log.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <utility>

namespace engine {

namespace {

// What a step returns when the file's rewrite goes on; never a StatusCode.
constexpr int32_t kGoesOn = -1;

} // namespace

SmallFilesOperation::SmallFilesOperation(std::vector<std::unique_ptr<FileOperation>> files)
    : m_files(std::move(files)) {}

void SmallFilesOperation::main() {
    try {
        prepareAll();
        stageAll();
        syncStaged();
        placeAll();
        syncPlaced();
        renameAll();
        completeAll();
    } catch (...) {
        // Only allocation can fail outside the files' own steps. What was staged keeps its record and
        // replacement; every file still has to report, or the run never ends.
    }
    for (auto& file : m_files) {
        file->report(StatusFailed);
    }
}

template <typename Step>
void SmallFilesOperation::step(FileOperation& file, Step&& work) {
    const int32_t code = file.attributed([&] { return std::forward<Step>(work)().value_or(kGoesOn); });
    if (code != kGoesOn) {
        file.report(code);
    }
}

void SmallFilesOperation::dropEnded() {
    std::erase_if(m_going, [](const FileOperation* file) { return file->reported(); });
}

void SmallFilesOperation::prepareAll() {
    for (auto& file : m_files) {
        if (isCancelled()) {
            file->cancel();
        }
        step(*file, [&]() -> std::optional<int32_t> {
            return file->isCancelled() ? file->stopped() : file->prepare();
        });
        m_going.push_back(file.get());
    }
    dropEnded();
}

void SmallFilesOperation::stageAll() {
    for (FileOperation* file : m_going) {
        if (isCancelled()) {
            file->cancel();
        }
        step(*file, [&] { return file->stage(); });
    }
    dropEnded();
}

void SmallFilesOperation::syncStaged() {
    if (m_going.empty()) {
        return;
    }
    // One sync of the state directory's file system stands for every replacement, record and name in it.
    if (m_going.front()->m_temp->handle().syncFileSystem()) {
        return;
    }
    for (FileOperation* file : m_going) {
        step(*file, [&]() -> std::optional<int32_t> { return file->abandon(); });
    }
    dropEnded();
}

void SmallFilesOperation::placeAll() {
    for (FileOperation* file : m_going) {
        step(*file, [&] { return file->place(); });
    }
    dropEnded();
}

void SmallFilesOperation::syncPlaced() {
    std::map<uint64_t, bool> synced; // by device: whether its file system's sync succeeded
    for (FileOperation* file : m_going) {
        const uint64_t device = file->m_file->statusAtOpening().identity.device;
        if (!synced.contains(device)) {
            synced[device] = file->m_file->handle().syncFileSystem();
        }
        if (!synced[device]) {
            step(*file, [&]() -> std::optional<int32_t> { return file->interrupted(); });
        }
    }
    dropEnded();
}

void SmallFilesOperation::renameAll() {
    m_renamed.assign(m_going.size(), false);
    for (size_t i = 0; i < m_going.size(); ++i) {
        FileOperation& file = *m_going[i];
        step(file, [&]() -> std::optional<int32_t> {
            m_renamed[i] = file.rename();
            return std::nullopt;
        });
    }
}

void SmallFilesOperation::completeAll() {
    // Until its folder is synced a rename may be lost; a file whose folder cannot be synced keeps its
    // record, so that recovery redoes the rename.
    std::map<std::filesystem::path, bool> folders;
    for (size_t i = 0; i < m_going.size(); ++i) {
        if (m_renamed[i]) {
            const auto folder = m_going[i]->m_record.target.parent_path();
            if (!folders.contains(folder)) {
                folders[folder] = platform::syncDirectory(folder);
            }
        }
    }
    for (size_t i = 0; i < m_going.size(); ++i) {
        FileOperation& file = *m_going[i];
        const bool folderSynced = !m_renamed[i] || folders[file.m_record.target.parent_path()];
        step(file, [&]() -> std::optional<int32_t> {
            if (!folderSynced) {
                platform::log(logmsg::kCouldNotSyncFolder);
                return file.settle({StatusDone, true});
            }
            return file.complete(m_renamed[i]);
        });
    }
    m_going.clear();
}

} // namespace engine
