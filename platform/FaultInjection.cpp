// The fault-injection state shared by the platform layer and the tests.
#include "platform/FaultInjection.h"

#include <array>
#include <atomic>
#include <cerrno>
#include <mutex>

namespace platform {

namespace {

constexpr size_t kPointCount = static_cast<size_t>(FaultPoint::CreateTemp) + 1;

struct Injection {
    FaultPoint point = FaultPoint::Open;
    int nth = 0;
    FaultMode mode = FaultMode::Once;
    std::array<int, kPointCount> counts{};
};

// The flag keeps the production path to a single load; everything else is only touched while a test
// has an injector alive, where a mutex is cheaper to reason about than a set of atomics.
std::atomic<bool> g_active{false};
std::mutex g_mutex;
Injection g_injection;

size_t indexOf(FaultPoint point) {
    return static_cast<size_t>(point);
}

} // namespace

FaultInjector::FaultInjector(FaultPoint point, int nth, FaultMode mode) {
    std::lock_guard lock(g_mutex);
    g_injection = Injection{point, nth, mode, {}};
    g_active.store(true, std::memory_order_relaxed);
}

FaultInjector::~FaultInjector() {
    std::lock_guard lock(g_mutex);
    g_active.store(false, std::memory_order_relaxed);
    g_injection = Injection{};
}

int FaultInjector::callCount(FaultPoint point) const {
    std::lock_guard lock(g_mutex);
    return g_injection.counts[indexOf(point)];
}

bool shouldFail(FaultPoint point) {
    if (!g_active.load(std::memory_order_relaxed)) {
        return false;
    }
    std::lock_guard lock(g_mutex);
    if (!g_active.load(std::memory_order_relaxed)) {
        return false;
    }
    const int call = ++g_injection.counts[indexOf(point)];
    const bool fail =
        point == g_injection.point &&
        (call == g_injection.nth || (g_injection.mode == FaultMode::FromThenOn && call > g_injection.nth));
    if (fail) {
        errno = EIO;
    }
    return fail;
}

} // namespace platform
