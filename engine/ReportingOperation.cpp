// The report boundary of the file operations.
#include "engine/ReportingOperation.h"

#include "engine/LogMessages.h"
#include "engine/StatusCode.h"

#include <exception>
#include <string>
#include <utility>

namespace engine {

void ReportingOperation::main() {
    int32_t code = StatusFailed;
    std::string reason;
    try {
        platform::ThreadLogTap logged;
        m_tap = &logged;
        try {
            code = isCancelled() ? stopped() : process();
        } catch (...) {
            code = StatusFailed;
        }
        m_tap = nullptr;
        for (const auto& line : logged.lines()) {
            reason += reason.empty() ? "" : "; ";
            reason += line;
        }
    } catch (...) {
        // Out of memory for the reason: the file's outcome still has to reach the list, or the run never
        // ends.
        m_tap = nullptr;
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
