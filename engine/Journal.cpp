// SPDX-License-Identifier: GPL-3.0-or-later
// The journal's life on disk: unnamed creation, the payloads' space, publication, reading and removal.
#include "engine/Journal.h"

#include "engine/JournalIndex.h"
#include "engine/LogMessages.h"
#include "platform/ErrorText.h"
#include "platform/FileStatus.h"
#include "platform/Log.h"
#include "platform/SecureRandom.h"

#include <cerrno>
#include <string_view>

namespace engine {

namespace {

// Random characters after the prefix of a journal's name.
constexpr size_t kUniqueLength = 12;
constexpr int kNamingAttempts = 8;
// A header holds a few hundred bytes per file and 8 per 4 KiB of it; nothing a run makes comes near.
constexpr uint64_t kHeaderLimit = uint64_t{1} << 30;

void logFailure(std::string_view what) {
    platform::log(logmsg::withErrorText(what, errno));
}

std::optional<std::string> uniqueName() {
    static constexpr std::string_view kAlphabet =
        "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    uint8_t random[kUniqueLength];
    if (!platform::secureRandomBytes(random, sizeof random)) {
        return std::nullopt;
    }
    std::string name(kJournalPrefix);
    for (const uint8_t byte : random) {
        name += kAlphabet[byte % kAlphabet.size()];
    }
    return name;
}

} // namespace

Journal::Journal(platform::Folder& folder, std::unique_ptr<platform::FileHandle> handle, std::string name)
    : m_folder(folder), m_handle(std::move(handle)), m_name(std::move(name)) {}

Journal::~Journal() = default;

std::unique_ptr<Journal> Journal::create(platform::Folder& folder) {
    JournalIndex::add(folder);
    auto made = folder.createFile(kJournalPrefix);
    if (!made) {
        logFailure(logmsg::kCouldNotCreateJournal);
        return nullptr;
    }
    std::unique_ptr<Journal> journal(new Journal(folder, std::move(made->handle), std::move(made->name)));
    journal->m_namedAtCreation = !journal->m_name.empty();
    // A name is trusted only once it is locked and still leads to this file: another run's clean-up may
    // have taken an unpublished journal's name in between.
    // The envelope's place, empty until publish(): a journal without it vouches for nothing.
    const EnvelopeBytes none{};
    if (journal->m_handle->tryLock() != platform::FileHandle::LockResult::Locked ||
        (journal->m_namedAtCreation && !journal->stillNamed()) ||
        !journal->m_handle->writeAt(none.data(), none.size(), 0)) {
        logFailure(logmsg::kCouldNotCreateJournal);
        if (journal->m_namedAtCreation && journal->stillNamed()) {
            folder.remove(journal->m_name);
        }
        return nullptr;
    }
    return journal;
}

std::unique_ptr<Journal> Journal::open(platform::Folder& folder, const std::string& name, Opening& result) {
    result = Opening::Failed;
    platform::FileHandle::Refusal refusal = platform::FileHandle::Refusal::None;
    auto handle = folder.openFile(name, platform::FileHandle::Access::ReadWrite, refusal);
    if (!handle) {
        return nullptr;
    }
    switch (handle->tryLock()) {
    case platform::FileHandle::LockResult::Locked:
        break;
    case platform::FileHandle::LockResult::Busy:
        result = Opening::Busy;
        return nullptr;
    case platform::FileHandle::LockResult::Failed:
        return nullptr;
    }
    std::unique_ptr<Journal> journal(new Journal(folder, std::move(handle), name));
    journal->m_namedAtCreation = true;
    if (!journal->stillNamed()) {
        return nullptr;
    }
    result = Opening::Opened;
    return journal;
}

uid_t Journal::owner() const {
    const auto status = platform::statusOfDescriptor(m_handle->descriptor());
    return status ? status->owner : static_cast<uid_t>(-1);
}

void Journal::payloadWritten(uint64_t offset, uint64_t length) {
    m_payloadEnd = std::max(m_payloadEnd, offset + length);
}

bool Journal::publish(const std::vector<JournalEntry>& entries) {
    return publishFile(entries) && giveName();
}

bool Journal::publishFile(const std::vector<JournalEntry>& entries) {
    const std::vector<uint8_t> header = encodeJournalHeader(entries);
    const EnvelopeBytes envelope = encodeJournalEnvelope(header, m_payloadEnd);
    if (!m_handle->writeAt(header.data(), header.size(), m_payloadEnd)) {
        logFailure(logmsg::kCouldNotWriteJournal);
        return false;
    }
    // A journal that carries its name from the start must not look whole before it is: its envelope
    // goes last, after everything it vouches for is on the disk.
    if (m_namedAtCreation && !m_handle->sync()) {
        logFailure(logmsg::kCouldNotSyncJournal);
        return false;
    }
    if (!m_handle->writeAt(envelope.data(), envelope.size(), 0)) {
        logFailure(logmsg::kCouldNotWriteJournal);
        return false;
    }
    if (!m_handle->sync()) {
        logFailure(logmsg::kCouldNotSyncJournal);
        return false;
    }
    return true;
}

bool Journal::giveName() {
    if (!m_namedAtCreation) {
        bool named = false;
        for (int attempt = 0; attempt < kNamingAttempts && !named; ++attempt) {
            const auto name = uniqueName();
            if (!name) {
                break;
            }
            named = m_folder.link(*m_handle, *name);
            if (named) {
                m_name = *name;
            } else if (errno != EEXIST) {
                break;
            }
        }
        if (!named) {
            logFailure(logmsg::kCouldNotWriteJournal);
            return false;
        }
    }
    if (!m_folder.sync()) {
        logFailure(logmsg::kCouldNotSyncFolderOfJournal);
        return false;
    }
    return true;
}

bool Journal::stillNamed() const {
    const auto named = m_folder.statusOf(m_name);
    const auto open = platform::statusOfDescriptor(m_handle->descriptor());
    return named && open && named->identity == open->identity;
}

Journal::State Journal::readJournalFile(platform::FileHandle& file, std::vector<JournalEntry>& entries) {
    EnvelopeBytes bytes{};
    const auto got = file.readAt(bytes.data(), bytes.size(), 0);
    const auto envelope = got && *got == bytes.size() ? decodeJournalEnvelope(bytes) : std::nullopt;
    if (!envelope) {
        return State::Unpublished;
    }
    if (envelope->version != kJournalVersion) {
        return State::UnknownVersion;
    }
    if (envelope->headerLength > kHeaderLimit) {
        return State::Damaged;
    }
    std::vector<uint8_t> header(envelope->headerLength);
    const auto read = file.readAt(header.data(), header.size(), envelope->headerOffset);
    if (!read || *read != header.size() || !journalHeaderMatches(*envelope, bytes, header)) {
        return State::Damaged;
    }
    auto decoded = decodeJournalHeader(header);
    if (!decoded) {
        return State::Damaged;
    }
    entries = std::move(*decoded);
    return State::Whole;
}

bool Journal::readPayload(void* dest, uint64_t length, uint64_t offset) {
    const auto got = m_handle->readAt(dest, static_cast<size_t>(length), offset);
    if (got && *got != length) {
        errno = EIO;
    }
    return got && *got == length;
}

bool Journal::remove() {
    if (m_name.empty()) {
        return true; // never named: it goes when its descriptor closes
    }
    if (!stillNamed() || !m_folder.remove(m_name)) {
        logFailure(logmsg::kCouldNotRemoveJournal);
        return false;
    }
    m_name.clear();
    return true;
}

} // namespace engine
