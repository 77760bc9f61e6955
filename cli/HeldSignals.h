// SPDX-License-Identifier: GPL-3.0-or-later
// Holds back the signals that end a run (SIGINT, SIGTERM, SIGHUP), so that the run can stop cleanly.
#pragma once

#include <csignal>

namespace cli {

// While alive, the three signals are blocked in the creating thread and in every thread it starts
// meanwhile, so that none of them ends the process halfway through a rewrite; poll() collects them. On
// destruction any still pending are collected too, and the previous mask comes back.
class HeldSignals {
public:
    HeldSignals();
    ~HeldSignals();
    HeldSignals(const HeldSignals&) = delete;
    HeldSignals& operator=(const HeldSignals&) = delete;

    // Collects the signals that have arrived, without waiting; true when at least one ever has.
    bool poll();
    // The first signal collected, or 0.
    int first() const { return m_first; }
    // The shell's convention for a process ended by the first signal: 128 plus its number; 0 if none.
    int exitStatus() const { return m_first == 0 ? 0 : 128 + m_first; }

private:
    int m_first = 0;
    bool m_restore = false;
    sigset_t m_previous{};
};

} // namespace cli
