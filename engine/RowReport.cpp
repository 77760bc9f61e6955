// SPDX-License-Identifier: GPL-3.0-or-later
// The reason gathered from a row's log lines, and its one report.
#include "engine/RowReport.h"

#include "engine/LogMessages.h"

#include <utility>

namespace engine {

void RowReport::keep(const platform::ThreadLogTap& logged) noexcept {
    try {
        m_reasonLines.insert(m_reasonLines.end(), logged.lines().begin(), logged.lines().end());
    } catch (...) {
        // Out of memory for the reason: the outcome itself must still be reported.
    }
}

void RowReport::report(int32_t code) noexcept {
    if (m_reported) {
        return;
    }
    m_reported = true;
    std::string reason;
    std::vector<Reason> codes;
    try {
        for (const auto& line : m_reasonLines) {
            reason += reason.empty() ? "" : "; ";
            reason += line;
            codes.push_back(reasonOf(line));
        }
    } catch (...) {
        // Out of memory for the reason: the file's outcome still has to reach the list, or the run never
        // ends.
        reason.clear();
        codes.clear();
    }
    if (m_release != nullptr) {
        m_release(m_releaseContext);
    }
    try {
        m_master->updateReasonCodes(m_index, std::move(codes));
        m_master->updateReason(m_index, std::move(reason));
    } catch (...) {
    }
    m_master->updateStatus(code, m_index);
}

void RowReport::note(std::string_view reason) {
    if (m_tap != nullptr) {
        m_tap->add(reason);
    }
}

int32_t RowReport::stopped() {
    note(logmsg::kStoppedUntouched);
    return StatusNone;
}

} // namespace engine
