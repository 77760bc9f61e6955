// SPDX-License-Identifier: GPL-3.0-or-later
// Write leases over fcntl(2) F_SETLEASE and F_GETLEASE.
#include "platform/Lease.h"

#include "platform/FaultInjection.h"

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <thread>

namespace platform {

namespace {

// Short enough that a brief look by another program costs little, long enough not to spin.
constexpr std::chrono::milliseconds kRetryInterval{20};

} // namespace

LeaseResult takeWriteLease(int descriptor, std::chrono::milliseconds patience) {
    if (shouldFail(FaultPoint::Lease, descriptor)) {
        return LeaseResult::Unsupported;
    }
    const auto deadline = std::chrono::steady_clock::now() + patience;
    for (;;) {
        if (::fcntl(descriptor, F_SETLEASE, F_WRLCK) == 0) {
            return LeaseResult::Granted;
        }
        if (errno == EINTR) {
            continue;
        }
        // EAGAIN: another open file description of the file exists; EBUSY: a lease of another holder.
        // Anything else (EINVAL, EACCES, EPERM, ENOLCK, ...) will not change by waiting.
        if (errno != EAGAIN && errno != EBUSY) {
            return LeaseResult::Unsupported;
        }
        const auto now = std::chrono::steady_clock::now();
        if (now >= deadline) {
            return LeaseResult::InUse;
        }
        std::this_thread::sleep_for(
            std::min<std::chrono::steady_clock::duration>(kRetryInterval, deadline - now));
    }
}

bool writeLeaseHeld(int descriptor) {
    // While a break is pending the kernel already reports the type the lease will be reduced to.
    return ::fcntl(descriptor, F_GETLEASE) == F_WRLCK;
}

void releaseLease(int descriptor) {
    ::fcntl(descriptor, F_SETLEASE, F_UNLCK);
}

void ignoreLeaseBreakSignal() {
    struct sigaction ignore {};
    ignore.sa_handler = SIG_IGN;
    sigemptyset(&ignore.sa_mask);
    ::sigaction(SIGIO, &ignore, nullptr);
}

} // namespace platform
