// SPDX-License-Identifier: GPL-3.0-or-later
// Whether a file found under a journal entry's names is the file that the entry rewrites, caught at some
// point of its rewrite, and not another file that has taken its name, its inode or its place since.
#pragma once

#include "engine/JournalFormat.h"
#include "platform/FileHandle.h"
#include "platform/FileStatus.h"

#include <cstdint>
#include <optional>
#include <vector>

namespace engine {

// Inode, generation and birth time where each is known on both sides; where inode numbers are not
// stable (FAT), the name it was found under stands for them. Never the device number: a disk attached
// again may get another.
bool sameFile(const JournalEntry& entry, const platform::FileStatus& status,
              std::optional<uint64_t> generation);

// min(original, final) <= length <= max(original, final): a rewrite never leaves a file outside.
bool lengthInWindow(const JournalEntry& entry, uint64_t length);

// Every 1 KiB block of the file is the original's block or the replacement's at that place, except for
// one run of at most 1 MiB (the write frontier) and the last blocks where the lengths differ. False, too,
// when the file cannot be read.
bool blocksAgree(platform::FileHandle& file, uint64_t length, const JournalEntry& entry,
                 const std::vector<uint64_t>& replacementBlocks);

} // namespace engine
