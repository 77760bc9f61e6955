// SPDX-License-Identifier: GPL-3.0-or-later
// One row's outcome on its way to the master: the lines logged while its work ran become its reason, and
// exactly one status is reported, on every path.
#pragma once

#include "engine/OperationMaster.h"
#include "engine/StatusCode.h"
#include "platform/Log.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

// Used on one thread at a time: the worker that runs the row's work.
class RowReport {
public:
    // `master` is not owned and must outlive the report.
    RowReport(OperationMaster* master, int64_t index) : m_master(master), m_index(index) {}
    RowReport(const RowReport&) = delete;
    RowReport& operator=(const RowReport&) = delete;

    // Runs a piece of the row's work on the calling thread: the lines it logs (and its notes) join the
    // reason, and an exception escaping it counts as StatusFailed. Inside another attributed() call of the
    // same row, the outer one keeps the lines and catches.
    template <typename Work>
    int32_t attributed(Work&& work);
    // The one report, with the reason gathered so far; `beforeReport` has run by then. Later calls do
    // nothing.
    void report(int32_t code) noexcept;
    bool reported() const { return m_reported; }
    // Whether an attributed() call of this row is under way on this thread.
    bool attributing() const { return m_tap != nullptr; }

    // Adds to the reason without logging.
    void note(std::string_view reason);
    // For a file left untouched because the run was asked to stop: StatusNone, "stopped; untouched".
    int32_t stopped();
    // `done` of `total` units, for the master's progress.
    void progress(uint64_t done, uint64_t total) { m_master->updateProgress(m_index, done, total); }
    // The name the row's file has from now on, when a rewrite renamed it.
    void renamedTo(const std::filesystem::path& url) { m_master->updateFinalURL(m_index, url); }
    int64_t index() const { return m_index; }

    // Runs right before the report goes out, so that the master's observers find the file closed.
    void beforeReport(void (*release)(void*) noexcept, void* context) {
        m_release = release;
        m_releaseContext = context;
    }

private:
    void keep(const platform::ThreadLogTap& logged) noexcept;

    OperationMaster* const m_master;
    const int64_t m_index;
    platform::ThreadLogTap* m_tap = nullptr;
    std::vector<std::string> m_reasonLines;
    bool m_reported = false;
    void (*m_release)(void*) noexcept = nullptr;
    void* m_releaseContext = nullptr;
};

template <typename Work>
int32_t RowReport::attributed(Work&& work) {
    if (m_tap != nullptr) {
        return std::forward<Work>(work)();
    }
    int32_t code = StatusFailed;
    platform::ThreadLogTap logged;
    m_tap = &logged;
    try {
        code = std::forward<Work>(work)();
    } catch (...) {
    }
    m_tap = nullptr;
    keep(logged);
    return code;
}

} // namespace engine
