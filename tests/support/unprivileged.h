// SPDX-License-Identifier: GPL-3.0-or-later
// Dropping a forked test child to the unprivileged user nobody, supplementary groups included.
#pragma once

#include <grp.h>
#include <sys/types.h>
#include <unistd.h>

namespace testsupport {

inline constexpr uid_t kNobody = 65534;

// False where the process may not change its identity; the child should then end without testing.
inline bool becomeNobody() {
    return ::setgroups(0, nullptr) == 0 && ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0;
}

} // namespace testsupport
