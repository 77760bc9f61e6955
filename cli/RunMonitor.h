// SPDX-License-Identifier: GPL-3.0-or-later
// Follows one run of a Cryptor through the notifications its operations post, and waits for its end.
#pragma once

#include "engine/Cryptor.h"
#include "platform/ObserverRegistration.h"

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <vector>

namespace cli {

class RunMonitor {
public:
    // Observes the Cryptor's run notifications from now on: create it before starting the run, so that
    // not even the first report is missed. `cryptor` is not owned.
    explicit RunMonitor(const engine::Cryptor& cryptor);
    RunMonitor(const RunMonitor&) = delete;
    RunMonitor& operator=(const RunMonitor&) = delete;

    // Returns once the run's last report has arrived, calling `tick` on this thread every `interval`
    // meanwhile. The reports come on worker threads; this keeps all drawing on the caller's thread.
    void waitForEnd(std::chrono::milliseconds interval, const std::function<void()>& tick);

private:
    void recordEnd();

    std::mutex m_mutex;
    std::condition_variable m_ended;
    bool m_terminated = false; // guarded by m_mutex
    // Last, so that the observers are removed before the members they use are destroyed.
    std::vector<platform::ObserverRegistration> m_registrations;
};

} // namespace cli
