// SPDX-License-Identifier: GPL-3.0-or-later
// A test seam that makes a chosen call of the platform layer fail, or ends the process there, so that
// failure and crash paths can be exercised as root and without special file systems.
#pragma once

#include <cerrno>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The kinds of platform calls that can be made to fail.
enum class FaultPoint {
    Open,
    Read,
    Write,
    Truncate,
    Rename,
    CreateTemp,
    Sync, // fdatasync, fsync and syncfs, of files and of folders
    Fallocate,
    Lock, // the advisory locks on users' files and on the state directory's files
    Unlink,
    RecordWrite, // writing a pending-rewrite record
    CopyFileRange,
    Lease, // taking a write lease on a user's file
};

inline constexpr int kFaultPointCount = static_cast<int>(FaultPoint::Lease) + 1;

// A name for logs and test names: "Open", "Sync", ...
std::string_view faultPointName(FaultPoint point);

enum class FaultMode {
    Once,       // only the nth call fails
    FromThenOn, // the nth call and every later one fail
    // The nth call ends the process at once with _exit(kFaultExitStatus), as a crash or a kill would:
    // nothing is flushed, no destructor runs. Only for test children made with fork(); nothing that the
    // shipped programs read can arm it.
    ExitProcess,
};

inline constexpr int kFaultExitStatus = 86;

// One guarded call seen while an injector was alive: its kind and what it acted on (a path; for calls on
// a descriptor, the path the descriptor's file had at the time).
struct FaultCall {
    FaultPoint point;
    std::string subject;
};

// While alive, the nth call (1-based, counted from construction) of one kind fails with errno `error`.
// Calls of every kind are counted and logged, so a test can first run an operation with a huge nth to
// learn how many calls it makes and in which order, then fail each of them in turn. One injector at a
// time.
class FaultInjector {
public:
    FaultInjector(FaultPoint point, int nth, FaultMode mode = FaultMode::Once, int error = EIO);
    // Instead of failing it, the nth call of that kind first runs `hook` on the calling thread and then
    // goes on as if no injector were there. This puts another process's action, or a pause, between two
    // system calls of an operation deterministically. The injector's lock is not held while the hook
    // runs, so the hook may make guarded calls itself; they are counted and logged like any other, and
    // errno is as it was before the hook ran.
    FaultInjector(FaultPoint point, int nth, std::function<void()> hook);
    ~FaultInjector();
    FaultInjector(const FaultInjector&) = delete;
    FaultInjector& operator=(const FaultInjector&) = delete;

    // Calls of that kind seen since construction, including the failed ones.
    int callCount(FaultPoint point) const;
    // Every guarded call since construction, in order.
    std::vector<FaultCall> calls() const;
};

// Called by the platform layer before each guarded call; true means "fail it", with errno set to the
// injector's error. Cost one relaxed atomic load while no injector is alive; the subject is only looked
// at while one is.
bool shouldFail(FaultPoint point);
bool shouldFail(FaultPoint point, int descriptor);
bool shouldFail(FaultPoint point, const std::filesystem::path& subject);

} // namespace platform
