// SPDX-License-Identifier: GPL-3.0-or-later
// The process's area for secrets.
#include "engine/Secret.h"

namespace engine {

namespace {

// A run's keys (up to three), one working copy per busy worker, the digests and passphrase form being
// turned into keys, and the front ends' own: a few pages.
constexpr std::size_t kSecretSlots = 20;

} // namespace

platform::LockedArea* secretArea() {
    static const std::unique_ptr<platform::LockedArea> area =
        platform::LockedArea::create(kSecretSlotSize, kSecretSlots);
    return area.get();
}

} // namespace engine
