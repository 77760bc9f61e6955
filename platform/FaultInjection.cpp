// SPDX-License-Identifier: GPL-3.0-or-later
// The fault-injection state shared by the platform layer and the tests.
#include "platform/FaultInjection.h"

#include <array>
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <unistd.h>
#include <utility>

namespace platform {

namespace {

struct Injection {
    FaultPoint point = FaultPoint::Open;
    int nth = 0;
    FaultMode mode = FaultMode::Once;
    int error = EIO;
    std::function<void()> hook; // when set, run at the nth call instead of failing it
    std::array<int, kFaultPointCount> counts{};
    std::vector<FaultCall> calls;
};

// The flag keeps the production path to a single load; everything else is only touched while a test
// has an injector alive, where a mutex is cheaper to reason about than a set of atomics.
std::atomic<bool> g_active{false};
std::mutex g_mutex;
Injection g_injection;

constexpr std::array<std::string_view, kFaultPointCount> kNames = {
    "Open",      "Read", "Write",  "Truncate",    "Rename",        "CreateTemp", "Sync",
    "Fallocate", "Lock", "Unlink", "RecordWrite", "CopyFileRange", "Lease",
};

size_t indexOf(FaultPoint point) {
    return static_cast<size_t>(point);
}

std::string descriptorPath(int descriptor) {
    const std::string link = "/proc/self/fd/" + std::to_string(descriptor);
    std::string target(4096, '\0');
    const ssize_t length = ::readlink(link.c_str(), target.data(), target.size());
    target.resize(length > 0 ? static_cast<size_t>(length) : 0);
    return target;
}

bool decide(FaultPoint point, const std::string& subject) {
    std::unique_lock lock(g_mutex);
    if (!g_active.load(std::memory_order_relaxed)) {
        return false;
    }
    const int call = ++g_injection.counts[indexOf(point)];
    g_injection.calls.push_back({point, subject});
    const bool hit =
        point == g_injection.point &&
        (call == g_injection.nth || (g_injection.mode == FaultMode::FromThenOn && call > g_injection.nth));
    if (!hit) {
        return false;
    }
    if (g_injection.hook) {
        // Copied out and run unlocked: the hook's own guarded calls come back through here.
        const std::function<void()> hook = g_injection.hook;
        lock.unlock();
        const int error = errno;
        hook();
        errno = error;
        return false;
    }
    if (g_injection.mode == FaultMode::ExitProcess) {
        ::_exit(kFaultExitStatus);
    }
    errno = g_injection.error;
    return true;
}

} // namespace

std::string_view faultPointName(FaultPoint point) {
    return kNames[indexOf(point)];
}

FaultInjector::FaultInjector(FaultPoint point, int nth, FaultMode mode, int error) {
    std::lock_guard lock(g_mutex);
    g_injection = Injection{point, nth, mode, error, {}, {}, {}};
    g_active.store(true, std::memory_order_relaxed);
}

FaultInjector::FaultInjector(FaultPoint point, int nth, std::function<void()> hook) {
    std::lock_guard lock(g_mutex);
    g_injection = Injection{point, nth, FaultMode::Once, 0, std::move(hook), {}, {}};
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

std::vector<FaultCall> FaultInjector::calls() const {
    std::lock_guard lock(g_mutex);
    return g_injection.calls;
}

bool shouldFail(FaultPoint point) {
    return g_active.load(std::memory_order_relaxed) && decide(point, {});
}

bool shouldFail(FaultPoint point, int descriptor) {
    return g_active.load(std::memory_order_relaxed) && decide(point, descriptorPath(descriptor));
}

bool shouldFail(FaultPoint point, const std::filesystem::path& subject) {
    return g_active.load(std::memory_order_relaxed) && decide(point, subject.string());
}

} // namespace platform
