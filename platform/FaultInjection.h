// A test seam that makes a chosen call of the platform layer fail, or ends the process there, so that
// failure and crash paths can be exercised as root and without special file systems.
#pragma once

#include <cerrno>
#include <filesystem>
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
};

inline constexpr int kFaultPointCount = static_cast<int>(FaultPoint::CopyFileRange) + 1;

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
