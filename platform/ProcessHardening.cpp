// SPDX-License-Identifier: GPL-3.0-or-later
// forbidCoreDumps over prctl(2), raiseOpenFileLimit over setrlimit(2).
#include "platform/ProcessHardening.h"

#include <sys/prctl.h>
#include <sys/resource.h>

namespace platform {

bool forbidCoreDumps() {
    return ::prctl(PR_SET_DUMPABLE, 0, 0, 0, 0) == 0;
}

bool raiseOpenFileLimit() {
    struct rlimit limit {};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) {
        return false;
    }
    if (limit.rlim_cur == limit.rlim_max) {
        return true;
    }
    limit.rlim_cur = limit.rlim_max;
    return ::setrlimit(RLIMIT_NOFILE, &limit) == 0;
}

} // namespace platform
