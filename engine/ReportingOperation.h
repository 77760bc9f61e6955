// The boundary every per-file operation shares: one status report, with its reason, on every path.
#pragma once

#include "engine/OperationMaster.h"
#include "platform/Log.h"
#include "platform/Operation.h"

#include <cstdint>
#include <string_view>

namespace engine {

class ReportingOperation : public platform::Operation {
public:
    // Runs process() and reports its StatusCode to the master exactly once, on every path: also when an
    // exception escapes, and when building the reason fails. finish() runs before the report.
    void main() final;

protected:
    // `master` is not owned and must outlive the operation.
    ReportingOperation(OperationMaster* master, int64_t index) : m_master(master), m_index(index) {}

    // The work itself; returns the StatusCode to report. Lines it logs become the reason.
    virtual int32_t process() = 0;
    // Runs after process() on every path, before the report; must not throw.
    virtual void finish() noexcept {}

    // Adds to the reason without logging.
    void note(std::string_view reason);
    // Hands the master the operation's progress: `done` of `total` units.
    void progress(uint64_t done, uint64_t total) { m_master->updateProgress(m_index, done, total); }
    // For a run that was asked to stop before touching the file: StatusNone, "stopped; untouched".
    int32_t stopped();

    int64_t index() const { return m_index; }

private:
    OperationMaster* const m_master;
    const int64_t m_index;
    platform::ThreadLogTap* m_tap = nullptr;
};

} // namespace engine
