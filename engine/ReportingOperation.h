// SPDX-License-Identifier: GPL-3.0-or-later
// The boundary every per-file operation shares: one status report, with its reason, on every path.
#pragma once

#include "engine/OperationMaster.h"
#include "engine/RowReport.h"
#include "platform/Operation.h"

#include <cstdint>
#include <string_view>

namespace engine {

class ReportingOperation : public platform::Operation {
public:
    // Runs process() and reports its StatusCode to the master exactly once, on every path: also when an
    // exception escapes, and when building the reason fails. finish() runs before the report.
    void main() final;

    // The row this operation reports for; a batch reports each of its files through it.
    RowReport& row() { return m_row; }

protected:
    // `master` is not owned and must outlive the operation.
    ReportingOperation(OperationMaster* master, int64_t index);

    // The work itself; returns the StatusCode to report. Lines it logs become the reason.
    virtual int32_t process() = 0;
    // Runs after the work on every path, before the report; must not throw.
    virtual void finish() noexcept {}

    void note(std::string_view reason) { m_row.note(reason); }
    int32_t stopped() { return m_row.stopped(); }
    void progress(uint64_t done, uint64_t total) { m_row.progress(done, total); }
    int64_t index() const { return m_row.index(); }

private:
    RowReport m_row;
};

} // namespace engine
