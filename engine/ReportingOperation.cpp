// The report boundary of the file operations.
#include "engine/ReportingOperation.h"

#include "engine/LogMessages.h"
#include "engine/StatusCode.h"

#include <string>
#include <utility>

namespace engine {

void ReportingOperation::main() {
    report(attributed([this] { return isCancelled() ? stopped() : process(); }));
}

void ReportingOperation::keepReason(const platform::ThreadLogTap& logged) noexcept {
    try {
        m_reasonLines.insert(m_reasonLines.end(), logged.lines().begin(), logged.lines().end());
    } catch (...) {
        // Out of memory for the reason: the outcome itself must still be reported.
    }
}

void ReportingOperation::report(int32_t code) {
    if (m_reported) {
        return;
    }
    m_reported = true;
    std::string reason;
    try {
        for (const auto& line : m_reasonLines) {
            reason += reason.empty() ? "" : "; ";
            reason += line;
        }
    } catch (...) {
        // Out of memory for the reason: the file's outcome still has to reach the list, or the run never
        // ends.
        reason.clear();
    }
    finish();
    m_master->updateReason(m_index, std::move(reason));
    m_master->updateStatus(code, m_index);
}

void ReportingOperation::note(std::string_view reason) {
    if (m_tap != nullptr) {
        m_tap->add(reason);
    }
}

int32_t ReportingOperation::stopped() {
    note(logmsg::kStoppedUntouched);
    return StatusNone;
}

} // namespace engine
