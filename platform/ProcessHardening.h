// Keeps the secrets a process holds out of core files and away from debuggers of the same user.
#pragma once

namespace platform {

// Marks the process non-dumpable (PR_SET_DUMPABLE 0): it leaves no core file with its memory, and other
// processes of the same user cannot attach to it or read its memory through /proc without
// CAP_SYS_PTRACE. The mark survives fork and is reset by exec of another program. Call it first thing in
// main, before any passphrase exists. False only when the kernel refuses.
bool forbidCoreDumps();

} // namespace platform
