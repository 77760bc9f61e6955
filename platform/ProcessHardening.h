// SPDX-License-Identifier: GPL-3.0-or-later
// Settings a process makes of itself first thing in main: secrets kept out of core files and away from
// debuggers of the same user, and room for many open files.
#pragma once

namespace platform {

// Marks the process non-dumpable (PR_SET_DUMPABLE 0): it leaves no core file with its memory, and other
// processes of the same user cannot attach to it or read its memory through /proc without
// CAP_SYS_PTRACE. The mark survives fork and is reset by exec of another program. Call it first thing in
// main, before any passphrase exists. False only when the kernel refuses.
bool forbidCoreDumps();

// Raises the soft limit on open descriptors (RLIMIT_NOFILE) to the hard limit, so that a batch of many
// files, each with its descriptor held from open to rename, does not run out. False only when the kernel
// refuses; true when the soft limit already was the hard one.
bool raiseOpenFileLimit();

} // namespace platform
