// SPDX-License-Identifier: GPL-3.0-or-later
// Ties an observer's registration to a scope: the observer is removed when the registration is destroyed.
#pragma once

#include "platform/NotificationCenter.h"

#include <utility>

namespace platform {

class ObserverRegistration {
public:
    ObserverRegistration() = default;
    // Takes over `token`, which `center` issued; `center` is not owned and must outlive the registration.
    ObserverRegistration(NotificationCenter& center, NotificationCenter::ObserverToken token)
        : m_center(&center), m_token(token) {}
    ~ObserverRegistration() { reset(); }

    ObserverRegistration(ObserverRegistration&& other) noexcept
        : m_center(std::exchange(other.m_center, nullptr)), m_token(other.m_token) {}
    ObserverRegistration& operator=(ObserverRegistration&& other) noexcept {
        if (this != &other) {
            reset();
            m_center = std::exchange(other.m_center, nullptr);
            m_token = other.m_token;
        }
        return *this;
    }

    // Removes the observer now, with removeObserver's guarantees; later calls do nothing.
    void reset() {
        if (m_center != nullptr) {
            std::exchange(m_center, nullptr)->removeObserver(m_token);
        }
    }

private:
    NotificationCenter* m_center = nullptr;
    NotificationCenter::ObserverToken m_token{};
};

} // namespace platform
