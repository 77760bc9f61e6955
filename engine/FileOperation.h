// SPDX-License-Identifier: GPL-3.0-or-later
// What encryption and decryption of one file share: the key, the block calls, opening and checking the
// file, and building its replacement into a journal beside it.
#pragma once

#include "crypto/twofish.h"
#include "engine/Checksum.h"
#include "engine/FileError.h"
#include "engine/JournalFormat.h"
#include "engine/ReportingOperation.h"
#include "engine/RunKeys.h"
#include "engine/Secret.h"
#include "platform/FileHandle.h"

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <span>

namespace engine {

class CopyTarget;
class FileBuffer;
class Journal;
class TempBuffer;

class FileOperation : public ReportingOperation {
public:
    ~FileOperation() override;

    const std::filesystem::path& url() const { return m_url; }

    // Before the operation runs: instead of rewriting the file, make its transformed copy in `folder`
    // (made when missing) under the name the file would get in place (CopyTarget.h). The file is only
    // read, under a shared lock (FileBuffer::Mode::ReadOnly); nothing of it or beside it is written, and
    // a taken name refuses it untouched. The copy's bytes are those the rewrite would have put in place.
    void copyInto(std::filesystem::path folder) { m_copyFolder = std::move(folder); }

    // The first step of a rewrite, which a batch takes for each of its files in turn: opens the file
    // (which locks it against other runs), refuses what cannot be rewritten, and builds the replacement
    // into the journal that `journal` gives (made when first asked for). None when the file goes on,
    // with entry() telling what the journal must say of it; otherwise the StatusCode to report, with the
    // file untouched.
    using JournalSource = std::function<Journal*()>;
    std::optional<int32_t> prepare(const JournalSource& journal);
    const JournalEntry& entry() const { return m_entry; }
    // The file, still open and locked since it was read, for a rewrite that holds it to the end; the
    // operation keeps nothing of it afterwards.
    std::unique_ptr<platform::FileHandle> takeFile();
    // Closes the file until the rewrite opens it again, so that a batch holds few descriptors.
    void closeFile();
    // The second half of the file's progress: bytes of the final content in place.
    void written(uint64_t bytes);

protected:
    // `master` is not owned and must outlive the operation.
    FileOperation(std::filesystem::path url, std::shared_ptr<const RunKeys> keys, OperationMaster* master,
                  int64_t index);

    // The name the file gets once rewritten; m_url itself when it keeps its name.
    virtual std::filesystem::path targetName() const = 0;
    // Builds the replacement from m_file into a TempBuffer from newTempBuffer() and says what it becomes:
    // m_finalLength, m_direction. None once the replacement is complete; otherwise the StatusCode to
    // report, with the file untouched.
    virtual std::optional<int32_t> transform() = 0;

    // Whole blocks from input to output (the same buffer or apart), chained through `cipher` exactly as one
    // call per block would be; `length` is a multiple of the block size, at most kChunkLength. A wrong bit
    // count is logged and returns false.
    bool encryptBlocks(twofish::cipherInstance& cipher, const uint8_t* input, uint8_t* output,
                       uint64_t length);
    bool decryptBlocks(twofish::cipherInstance& cipher, const uint8_t* input, uint8_t* output,
                       uint64_t length);
    // The replacement's buffer, in the file's journal or the copy's file; null, logged, when the folder
    // cannot take one.
    TempBuffer* newTempBuffer(uint64_t expectedLength);
    // The original's bytes as they are read, in order from offset 0, so that the journal can tell each
    // of its blocks from the replacement's.
    void originalRead(std::span<const uint8_t> bytes) { m_originalBlocks.update(bytes); }

    // How much of the file the operations read, transform and append at a time.
    static constexpr uint64_t kChunkLength = uint64_t{1} << 20;

    const std::filesystem::path m_url;
    // The run's keys, and from when transform() begins m_key, a copy of the first, since the cipher may
    // reorder the round keys in place; a decryption replaces it by a copy of the key that opens the file.
    // Both go as soon as transform() ends: a batch's files then hold no key while they wait for the others.
    std::shared_ptr<const RunKeys> m_runKeys;
    std::optional<Secret<twofish::keyInstance>> m_key;
    std::unique_ptr<FileBuffer> m_file;
    std::unique_ptr<TempBuffer> m_temp;
    uint64_t m_finalLength = 0;
    RewriteDirection m_direction = RewriteDirection::Encrypt;

private:
    // Alone: a batch of one, which keeps the file open from reading to renaming; or a copy.
    int32_t process() final;
    int32_t copy();
    void finish() noexcept final;

    // Refuses what the file cannot be given before any byte of it changes: a taken target name, one too
    // long for its folder, a folder that cannot be written.
    std::optional<int32_t> checkTargetName();
    void noteRefusal(const FileError& error);
    // The journal entry, once the replacement is complete and the file is still as it was read.
    std::optional<int32_t> describe();

    std::filesystem::path m_target;
    std::optional<std::filesystem::path> m_copyFolder;
    std::unique_ptr<CopyTarget> m_copy; // outlives m_temp, which writes into it
    const JournalSource* m_journalSource = nullptr;
    BlockChecksums m_originalBlocks;
    JournalEntry m_entry;
};

} // namespace engine
