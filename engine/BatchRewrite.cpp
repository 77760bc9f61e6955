// SPDX-License-Identifier: GPL-3.0-or-later
// Reading every file of the batch into one journal, publishing it, and handing the files on.
#include "engine/BatchRewrite.h"

#include "engine/Journal.h"
#include "engine/LogMessages.h"
#include "engine/RewritePipeline.h"
#include "engine/StatusCode.h"
#include "platform/Folder.h"
#include "platform/Log.h"

#include <cerrno>
#include <map>
#include <memory>

namespace engine {

namespace {

// What prepare() leaves when the file goes on; never a StatusCode.
constexpr int32_t kGoesOn = -1;

} // namespace

BatchRewrite::BatchRewrite(std::vector<FileOperation*> files, const platform::Operation* owner)
    : m_files(std::move(files)), m_owner(owner) {}

void BatchRewrite::run(const Ended& ended) {
    if (m_files.empty()) {
        return;
    }
    const std::filesystem::path& first = m_files.front()->url();
    const auto folder = platform::Folder::open(first.has_parent_path() ? first.parent_path() : ".");
    const int folderError = errno;
    std::unique_ptr<Journal> journal;
    bool journalTried = false;
    const FileOperation::JournalSource source = [&]() -> Journal* {
        if (!journalTried && folder) {
            journalTried = true;
            journal = Journal::create(*folder);
        }
        return journal.get();
    };

    // Step 1: every file read and its replacement in the journal.
    std::vector<FileOperation*> going;
    for (FileOperation* file : m_files) {
        if (m_owner != nullptr && m_owner->isCancelled()) {
            file->cancel();
        }
        const int32_t code = file->row().attributed([&]() -> int32_t {
            if (file->isCancelled()) {
                return file->row().stopped();
            }
            if (!folder) {
                platform::log(logmsg::withErrorText(logmsg::kCouldNotCreateJournal, folderError));
                return StatusFailed;
            }
            return file->prepare(source).value_or(kGoesOn);
        });
        if (code != kGoesOn) {
            ended(*file, code);
            continue;
        }
        going.push_back(file);
        if (m_files.size() > 1) {
            file->closeFile();
        }
    }
    if (going.empty()) {
        return;
    }
    if (!journal) {
        for (FileOperation* file : going) {
            ended(*file, StatusFailed);
        }
        return;
    }

    // Step 1 completed: the journal durable and named.
    std::vector<JournalEntry> entries;
    for (const FileOperation* file : going) {
        entries.push_back(file->entry());
    }
    bool published = false;
    std::vector<std::string> lines;
    {
        platform::ThreadLogTap tap;
        published = journal->publish(entries);
        if (!published) {
            journal->remove();
        }
        lines = tap.lines();
    }
    if (!published) {
        for (FileOperation* file : going) {
            const int32_t code = file->row().attributed([&] {
                // A file rewritten alone heard the lines already, through its own attribution.
                if (m_files.size() > 1) {
                    for (const std::string& line : lines) {
                        platform::note(line);
                    }
                }
                return StatusFailed;
            });
            ended(*file, code);
        }
        return;
    }

    // Steps 2 to 7.
    std::vector<RewriteFile> files;
    std::map<const RowReport*, FileOperation*> byRow;
    files.reserve(going.size());
    for (FileOperation* file : going) {
        RewriteFile& rewrite = files.emplace_back(file->row(), file->entry());
        rewrite.owner = m_owner;
        rewrite.written = [file](uint64_t bytes) { file->written(bytes); };
        if (m_files.size() == 1) {
            rewrite.handle = file->takeFile();
        }
        byRow[&file->row()] = file;
    }
    RewritePipeline(*journal, RewritePipeline::Entry::Fresh, [&](RewriteFile& file, int32_t code) {
        ended(*byRow.at(&file.row), code);
    }).run(files);
}

} // namespace engine
