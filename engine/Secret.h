// SPDX-License-Identifier: GPL-3.0-or-later
// A key schedule or a digest kept where secrets belong: in a slot of the process's locked area while one is
// free, on the heap otherwise; wiped when it goes.
#pragma once

#include "crypto/twofish.h"
#include "crypto/wipe.h"
#include "platform/LockedArea.h"

#include <cstring>
#include <memory>
#include <new>
#include <type_traits>

namespace engine {

// Big enough for a key schedule, the largest secret the engine keeps.
inline constexpr std::size_t kSecretSlotSize = sizeof(twofish::keyInstance);

// The process's one area for secrets: locked in RAM where RLIMIT_MEMLOCK allows, never in a core file.
// Null when it could not be mapped; secrets then live on the heap.
platform::LockedArea* secretArea();

// Holds one T, zeroed at first or copied from a value. Never copied or moved, so that no stray copy of the
// secret is left behind by the type itself.
template <typename T>
class Secret {
    static_assert(std::is_trivially_copyable_v<T> && sizeof(T) <= kSecretSlotSize);

public:
    Secret() : Secret(nullptr) {}
    explicit Secret(const T& value) : Secret(&value) {}
    ~Secret() {
        if (m_inArea) {
            secretArea()->release(m_value); // zeroes the slot
        } else {
            crypto::secureWipe(m_value, sizeof(T));
            ::operator delete(m_value);
        }
    }
    Secret(const Secret&) = delete;
    Secret& operator=(const Secret&) = delete;

    T& get() { return *m_value; }
    const T& get() const { return *m_value; }
    // Whether the value lies in the locked area (whose pages may still be unlocked, if the limit refused).
    bool isInArea() const { return m_inArea; }

private:
    explicit Secret(const T* value) {
        platform::LockedArea* area = secretArea();
        void* slot = area != nullptr ? area->acquire() : nullptr;
        m_inArea = slot != nullptr;
        void* storage = m_inArea ? slot : ::operator new(sizeof(T));
        if (value != nullptr) {
            std::memcpy(storage, value, sizeof(T));
        } else {
            std::memset(storage, 0, sizeof(T));
        }
        m_value = static_cast<T*>(storage);
    }

    T* m_value = nullptr;
    bool m_inArea = false;
};

} // namespace engine
