// SPDX-License-Identifier: GPL-3.0-or-later
// The bytes of a journal: a fixed envelope, the replacements' payloads, and a header describing each
// file that the journal rewrites.
#pragma once

#include "platform/FileStatus.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

enum class RewriteDirection : uint8_t { Encrypt, Decrypt };

// Every journal's name starts so; the rest is random and never carries a user's file name.
inline constexpr std::string_view kJournalPrefix = ".brisklet-journal-";
inline constexpr uint32_t kJournalVersion = 1;

// Length, modification time and change time: what tells that a file was left alone.
struct FileTimes {
    uint64_t length = 0;
    int64_t modifiedNanoseconds = 0;
    int64_t changedNanoseconds = 0;
    bool operator==(const FileTimes&) const = default;

    static FileTimes of(const platform::FileStatus& status) {
        return {status.length, status.modifiedNanoseconds, status.changedNanoseconds};
    }
};

// One file of a journal. Names are single components in the journal's own folder.
struct JournalEntry {
    RewriteDirection direction = RewriteDirection::Encrypt;
    std::string name;   // the file's name when it was read
    std::string target; // its name once rewritten; equal to `name` when it keeps it
    uint64_t inode = 0;
    std::optional<uint64_t> generation;
    std::optional<int64_t> birthNanoseconds;
    // False where inode numbers may change with a remount (FAT): the file is then matched by its names.
    bool stableInodes = true;
    uint64_t originalLength = 0;
    uint64_t finalLength = 0;
    FileTimes beforeProbe;      // as found, before the open-time probe rewrote the last byte
    FileTimes afterProbe;       // as left by the probe: the file is whole while it still looks so
    uint64_t payloadOffset = 0; // where the replacement starts in the journal; it is finalLength long
    uint64_t payloadChecksum = 0;
    // A checksum of every 1 KiB block of the original (the last one shorter), taken while it was read.
    std::vector<uint64_t> originalBlocks;

    bool operator==(const JournalEntry&) const = default;
};

// Envelope, at offset 0, of a fixed layout whatever the version: magic "BRSKJRNL", version, header
// length, header offset, header checksum (over the envelope's first 24 bytes and the header), all
// little-endian. The header follows the payloads, so that a batch streams its replacements into the
// journal before it knows all of its entries.
inline constexpr size_t kJournalEnvelopeLength = 32;
// The first payload starts right after the envelope, and each next one right after the last: a journal is
// written without holes, which some FAT drivers refuse.
inline constexpr uint64_t kJournalPayloadStart = kJournalEnvelopeLength;

struct JournalEnvelope {
    uint32_t version = kJournalVersion;
    uint32_t headerLength = 0;
    uint64_t headerOffset = 0;
    uint64_t headerChecksum = 0;
};

using EnvelopeBytes = std::array<uint8_t, kJournalEnvelopeLength>;

// The header's bytes, and the envelope that vouches for them at `headerOffset`.
std::vector<uint8_t> encodeJournalHeader(const std::vector<JournalEntry>& entries);
EnvelopeBytes encodeJournalEnvelope(std::span<const uint8_t> header, uint64_t headerOffset);

// None when the bytes do not start with the magic: a journal that was never completed.
std::optional<JournalEnvelope> decodeJournalEnvelope(std::span<const uint8_t> bytes);
// Whether `header` is the one the envelope vouches for.
bool journalHeaderMatches(const JournalEnvelope& envelope, std::span<const uint8_t> envelopeBytes,
                          std::span<const uint8_t> header);
// None for a header that is not well formed (of this version).
std::optional<std::vector<JournalEntry>> decodeJournalHeader(std::span<const uint8_t> header);

} // namespace engine
