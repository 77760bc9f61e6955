// What encryption and decryption of one file share: the key, the block calls, opening the file, finishing
// a pending rewrite found there, and replacing the file durably, alone or as one of a batch.
#pragma once

#include "crypto/twofish.h"
#include "engine/FileError.h"
#include "engine/InPlaceRewrite.h"
#include "engine/PendingRewrite.h"
#include "engine/ReportingOperation.h"
#include "engine/RewriteStore.h"
#include "engine/Secret.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>

namespace engine {

class FileBuffer;
class TempBuffer;

class FileOperation : public ReportingOperation {
public:
    ~FileOperation() override;

protected:
    // `master` is not owned and must outlive the operation.
    FileOperation(std::filesystem::path url, RunKey key, OperationMaster* master, int64_t index);

    // The name the file gets once rewritten; m_url itself when it keeps its name.
    virtual std::filesystem::path targetName() const = 0;
    // Builds the replacement from m_file into a new m_temp and says what it becomes: m_finalLength,
    // m_direction. None once the replacement is complete; otherwise the StatusCode to report, with the
    // file untouched.
    virtual std::optional<int32_t> transform() = 0;

    // Whole blocks from input to output (the same buffer or apart), chained through `cipher` exactly as one
    // call per block would be; `length` is a multiple of the block size, at most kChunkLength. A wrong bit
    // count is logged and returns false.
    bool encryptBlocks(twofish::cipherInstance& cipher, const uint8_t* input, uint8_t* output,
                       uint64_t length);
    bool decryptBlocks(twofish::cipherInstance& cipher, const uint8_t* input, uint8_t* output,
                       uint64_t length);

    // How much of the file the operations read, transform and append at a time.
    static constexpr uint64_t kChunkLength = uint64_t{1} << 20;

    const std::filesystem::path m_url;
    // The run's key until transform() begins; from then on m_key, a copy of its own, since the cipher may
    // reorder the round keys in place. Both go as soon as transform() ends: a batch's staged files then
    // hold no key while they wait for the others.
    RunKey m_runKey;
    std::optional<Secret<twofish::keyInstance>> m_key;
    std::unique_ptr<FileBuffer> m_file;
    std::unique_ptr<TempBuffer> m_temp;
    uint64_t m_finalLength = 0;
    RewriteDirection m_direction = RewriteDirection::Encrypt;
    std::filesystem::path m_target;

private:
    friend class SmallFilesOperation;

    // Alone: prepare(), then replaceFile().
    int32_t process() final;
    void finish() noexcept final;

    // Opens the file (which locks it against other runs), completes a pending rewrite found there instead
    // of reading a file that is not whole, and builds the replacement. None when the file is ready to be
    // rewritten; otherwise the StatusCode to report.
    std::optional<int32_t> prepare();
    std::optional<int32_t> completePendingRewrite();
    // Refuses what the file cannot be given before any byte of it changes: a taken target name, one too
    // long for its folder, a folder that cannot be written.
    std::optional<int32_t> checkTargetName();
    void noteRefusal(const FileError& error);
    const RewriteStore* store();

    // Puts the replacement over the file and renames it, durably: the file must be unchanged since it was
    // read, the replacement is synced and its pending-rewrite record written before the first byte of the
    // file changes. Stops untouched when cancelled before the record is written.
    int32_t replaceFile();

    // The same in steps, for a batch that syncs between them for all its files at once (see
    // SmallFilesOperation): write the replacement and the record without syncing them; after the batch's
    // sync, place the content; rename; after the folder's sync, complete. Each returns the code to report
    // when this file's rewrite ends there, none when it goes on.
    std::optional<int32_t> stage();
    std::optional<int32_t> place();
    bool rename();
    int32_t complete(bool renamed);
    // When the batch could not make the staged replacements durable: nothing was touched yet.
    int32_t abandon();
    // When the batch could not sync the placed content: the file depends on its record and replacement.
    int32_t interrupted();

    // The checks and the record that come before either way of writing the file.
    std::optional<int32_t> readyToCommit(RewriteStore::Durability durability);
    int32_t settle(const InPlaceRewrite::Outcome& outcome);

    std::optional<RewriteStore> m_store;
    PendingRewrite m_record;
    std::unique_ptr<InPlaceRewrite> m_rewrite;
};

} // namespace engine
