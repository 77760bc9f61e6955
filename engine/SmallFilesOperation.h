// Rewrites many small files with a few syncs shared between them instead of several for each.
#pragma once

#include "engine/FileOperation.h"
#include "platform/Operation.h"

#include <memory>
#include <vector>

namespace engine {

// Each file goes through the steps of its own durable rewrite, but every sync is made once for the whole
// batch: all replacements and records are written, and one sync of the state directory's file system
// makes them durable; all files are overwritten, then one sync per file system; all are renamed, then one
// sync per folder; only then do the records go. A crash at any point leaves every file either as it was
// or completed by recovery, exactly as for a file rewritten alone. Every file still reports for itself,
// once; a file that ends early (refused, failed, stopped, recovered) reports as soon as it does.
class SmallFilesOperation final : public platform::Operation {
public:
    explicit SmallFilesOperation(std::vector<std::unique_ptr<FileOperation>> files);

    void main() override;

private:
    // Runs one step of a file's rewrite; when the step ends it, reports and drops the file from m_going.
    template <typename Step>
    void step(FileOperation& file, Step&& work);
    void dropEnded();

    void prepareAll();
    void stageAll();
    void syncStaged();
    void placeAll();
    void syncPlaced();
    void renameAll();
    void completeAll();

    std::vector<std::unique_ptr<FileOperation>> m_files;
    std::vector<FileOperation*> m_going; // files whose rewrite goes on, in order
    std::vector<bool> m_renamed;         // by position in m_going, once renameAll() ran
};

} // namespace engine
