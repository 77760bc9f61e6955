// SPDX-License-Identifier: GPL-3.0-or-later
// Blocking the run-ending signals and collecting them with sigtimedwait.
#include "cli/HeldSignals.h"

#include <cerrno>
#include <csignal>
#include <ctime>
#include <pthread.h>

namespace cli {

namespace {

sigset_t heldSet() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    return set;
}

} // namespace

HeldSignals::HeldSignals() {
    const sigset_t held = heldSet();
    m_restore = ::pthread_sigmask(SIG_BLOCK, &held, &m_previous) == 0;
}

HeldSignals::~HeldSignals() {
    poll();
    if (m_restore) {
        ::pthread_sigmask(SIG_SETMASK, &m_previous, nullptr);
    }
}

bool HeldSignals::poll() {
    const sigset_t held = heldSet();
    const timespec noWait{};
    for (;;) {
        const int signal = ::sigtimedwait(&held, nullptr, &noWait);
        if (signal < 0) {
            if (errno == EINTR) {
                continue;
            }
            break;
        }
        if (m_first == 0) {
            m_first = signal;
        }
    }
    return m_first != 0;
}

} // namespace cli
