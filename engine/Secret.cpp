// SPDX-License-Identifier: GPL-3.0-or-later
// The process's area for secrets.
#include "engine/Secret.h"

namespace engine {

namespace {

// A run key, one working copy per busy worker, a digest, and the front ends' own: a few pages.
constexpr std::size_t kSecretSlots = 16;

} // namespace

platform::LockedArea* secretArea() {
    static const std::unique_ptr<platform::LockedArea> area =
        platform::LockedArea::create(kSecretSlotSize, kSecretSlots);
    return area.get();
}

} // namespace engine
