// A test seam that makes a chosen call of the platform layer fail, so failure paths can be exercised as root.
#pragma once

namespace platform {

// The kinds of platform calls that can be made to fail.
enum class FaultPoint { Open, Read, Write, Seek, Truncate, Rename, CreateTemp };

enum class FaultMode {
    Once,       // only the nth call fails
    FromThenOn, // the nth call and every later one fail
};

// While alive, the nth call (1-based, counted from construction) of one kind fails with errno EIO.
// Calls of every kind are counted, so a test can first run an operation with a huge nth to learn how many
// calls it makes, then fail each of them in turn. Only one injector may be alive at a time.
class FaultInjector {
public:
    FaultInjector(FaultPoint point, int nth, FaultMode mode = FaultMode::Once);
    ~FaultInjector();
    FaultInjector(const FaultInjector&) = delete;
    FaultInjector& operator=(const FaultInjector&) = delete;

    // Calls of that kind seen since construction, including the failed ones.
    int callCount(FaultPoint point) const;
};

// Called by the platform layer before each call of the given kind; true means "fail it" (errno is then EIO).
// Costs one relaxed atomic load while no injector is alive.
bool shouldFail(FaultPoint point);

} // namespace platform
