// SPDX-License-Identifier: GPL-3.0-or-later
// A one-way signal between test threads whose wait gives up instead of hanging a broken test.
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace testsupport {

// Long enough never to expire on a loaded machine; a broken component fails the test instead of hanging it.
inline constexpr std::chrono::seconds kPatience{20};

class Flag {
public:
    void set() {
        {
            std::lock_guard lock(m_mutex);
            m_set = true;
        }
        m_changed.notify_all();
    }
    // False when the flag was not set within kPatience.
    bool waitSet() {
        std::unique_lock lock(m_mutex);
        return m_changed.wait_for(lock, kPatience, [this] { return m_set; });
    }

private:
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_set = false;
};

} // namespace testsupport
