// SPDX-License-Identifier: GPL-3.0-or-later
// Waiting for a run's last report.
#include "cli/RunMonitor.h"

#include "engine/Notifications.h"
#include "platform/NotificationCenter.h"

#include <string>

namespace cli {

RunMonitor::RunMonitor(const engine::Cryptor& cryptor) {
    auto& center = platform::NotificationCenter::defaultCenter();
    m_registrations.emplace_back(center, center.addObserver(std::string(engine::kOperationTerminated),
                                                            &cryptor, [this](const auto&) { recordEnd(); }));
}

void RunMonitor::waitForEnd(std::chrono::milliseconds interval, const std::function<void()>& tick) {
    std::unique_lock lock(m_mutex);
    while (!m_ended.wait_for(lock, interval, [this] { return m_terminated; })) {
        lock.unlock();
        tick();
        lock.lock();
    }
}

void RunMonitor::recordEnd() {
    std::lock_guard lock(m_mutex);
    m_terminated = true;
    m_ended.notify_all();
}

} // namespace cli
