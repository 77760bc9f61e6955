// The boundary every per-file operation shares: one status report, with its reason, on every path.
#pragma once

#include "engine/OperationMaster.h"
#include "engine/StatusCode.h"
#include "platform/Log.h"
#include "platform/Operation.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

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
    // Runs after the work on every path, before the report; must not throw.
    virtual void finish() noexcept {}

    // Runs a piece of this operation's work on the calling thread: the lines it logs (and its notes) join
    // the reason, and an exception escaping it counts as StatusFailed.
    template <typename Work>
    int32_t attributed(Work&& work);
    // finish(), then the one report, with the reason gathered so far. Later calls do nothing.
    void report(int32_t code);
    bool reported() const { return m_reported; }

    // Adds to the reason without logging.
    void note(std::string_view reason);
    // For a run that was asked to stop before touching the file: StatusNone, "stopped; untouched".
    int32_t stopped();
    // Hands the master the operation's progress: `done` of `total` units.
    void progress(uint64_t done, uint64_t total) { m_master->updateProgress(m_index, done, total); }

    // Tells the master the path under which the file now lives, once it has been renamed.
    void reportFinalURL(std::filesystem::path url) { m_master->updateFinalURL(m_index, std::move(url)); }

    int64_t index() const { return m_index; }

private:
    void keepReason(const platform::ThreadLogTap& logged) noexcept;

    OperationMaster* const m_master;
    const int64_t m_index;
    platform::ThreadLogTap* m_tap = nullptr;
    std::vector<std::string> m_reasonLines;
    bool m_reported = false;
};

template <typename Work>
int32_t ReportingOperation::attributed(Work&& work) {
    int32_t code = StatusFailed;
    platform::ThreadLogTap logged;
    m_tap = &logged;
    try {
        code = std::forward<Work>(work)();
    } catch (...) {
    }
    m_tap = nullptr;
    keepReason(logged);
    return code;
}

} // namespace engine
