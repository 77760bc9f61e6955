// The record that a file is being rewritten in place from a replacement, and how it is stored.
#pragma once

#include "platform/FileIdentity.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

namespace engine {

enum class RewriteDirection : uint8_t { Encrypt, Decrypt };

// Written durably beside the replacement before the first byte of the user's file changes, and removed
// only once the file is complete, synced and renamed. While it exists the file counts as interrupted, and
// recovery completes it from the replacement. Paths are absolute.
struct PendingRewrite {
    RewriteDirection direction = RewriteDirection::Encrypt;
    std::filesystem::path file;   // the user's file, by the name it had when it was read
    std::filesystem::path target; // its name once rewritten; the same as `file` when it keeps its name
    platform::FileIdentity identity;
    uint64_t originalLength = 0;
    int64_t originalModifiedNanoseconds = 0;
    uint64_t finalLength = 0;
    std::filesystem::path replacement; // holds exactly the final content
    uint64_t replacementLength = 0;

    bool operator==(const PendingRewrite&) const = default;
};

// A small text file, one "key value" line per field, paths with control bytes and backslashes escaped as
// \xHH, and a last line with a checksum over everything before it, so that a record torn by a crash
// while it was written is told from a whole one.
std::string encodePendingRewrite(const PendingRewrite& record);
// None for anything but a whole record of this version: torn, altered, or of an unknown version.
std::optional<PendingRewrite> decodePendingRewrite(std::span<const char> text);

} // namespace engine
