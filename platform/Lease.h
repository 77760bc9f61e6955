// SPDX-License-Identifier: GPL-3.0-or-later
// Write leases (F_SETLEASE): the kernel tells the holder when another process opens the file, so that a
// rewrite in place is not mixed with another program's writes unnoticed.
#pragma once

#include <chrono>

namespace platform {

enum class LeaseResult {
    Granted,
    InUse,       // another open file description of the file exists, for the whole patience
    Unsupported, // the file system or the caller's rights allow none (NFS, FUSE, another owner's file)
};

// Takes a write lease on the descriptor's file, retrying while it is open elsewhere for up to `patience`,
// so that a thumbnailer's brief look does not refuse the file. The descriptor must be the only open file
// description of the file in this process. FaultPoint::Lease makes it Unsupported.
LeaseResult takeWriteLease(int descriptor, std::chrono::milliseconds patience);
// True while the write lease is held and nobody has asked to open the file since: not another process,
// and not this one either, whose own later open breaks the lease just the same. Such an open waits for the
// release up to /proc/sys/fs/lease-break-time (45 s by default), or with O_NONBLOCK, as
// FileHandle::openRegular() and Folder::openFile() open, fails at once with EWOULDBLOCK; opens with O_PATH
// and status queries break nothing.
bool writeLeaseHeld(int descriptor);
// Gives the lease up; an opener that waits for it goes on. Safe without a lease.
void releaseLease(int descriptor);
// A lease break is signalled with SIGIO, whose default action ends the process: both programs ignore
// it from their start and poll writeLeaseHeld() instead.
void ignoreLeaseBreakSignal();

} // namespace platform
