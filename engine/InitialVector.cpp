// SPDX-License-Identifier: GPL-3.0-or-later
// The initialisation vector from getrandom(2), or the one a test fixed.
#include "engine/InitialVector.h"

#include "platform/SecureRandom.h"

#include <atomic>
#include <cstring>

namespace engine {

namespace {

// Written only while no run is under way (a test sets it before and clears it after its runs), so the
// flag alone orders the bytes for the workers that read them.
std::atomic<bool> g_fixed{false};
std::array<uint8_t, format::kBlockSize> g_fixedBytes{};

} // namespace

bool newInitialVector(uint8_t (&iv)[format::kBlockSize]) {
    if (g_fixed.load(std::memory_order_acquire)) {
        std::memcpy(iv, g_fixedBytes.data(), sizeof iv);
        return true;
    }
    return platform::secureRandomBytes(iv, sizeof iv);
}

FixedInitialVector::FixedInitialVector(const std::array<uint8_t, format::kBlockSize>& iv) {
    g_fixedBytes = iv;
    g_fixed.store(true, std::memory_order_release);
}

FixedInitialVector::~FixedInitialVector() {
    g_fixed.store(false, std::memory_order_release);
}

} // namespace engine
