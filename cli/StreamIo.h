// SPDX-License-Identifier: GPL-3.0-or-later
// Whole reads and writes on the descriptors of a pipeline, through the platform's fault seam.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

namespace cli {

// Reads until `length` bytes or the end of input, retrying interrupted reads: the count read, short only
// at the end of input; none, with errno set, when a read fails.
std::optional<std::size_t> readFully(int fd, uint8_t* dest, std::size_t length);

// The same at `offset`, without moving the descriptor's position.
std::optional<std::size_t> readFullyAt(int fd, uint8_t* dest, std::size_t length, uint64_t offset);

// Writes all `length` bytes, retrying interrupted and partial writes. False, with errno set, when a write
// fails (EPIPE once the reader has gone, where SIGPIPE is ignored).
bool writeFully(int fd, const uint8_t* src, std::size_t length);

// Syncs the descriptor's data when it is a regular file, so that a command writing to one has its output on
// the disk before it says it is done, and learns of write-back errors that only a sync reports. True for
// anything else, which holds no data to sync. False, with errno set, when the sync fails.
bool syncWhereAFile(int fd);

// The length from the descriptor's position to its end when it is a regular file, whose end can be read
// before its beginning; none for a pipe, a terminal, a socket or a device.
std::optional<uint64_t> remainingLength(int fd);

} // namespace cli
