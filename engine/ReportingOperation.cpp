// SPDX-License-Identifier: GPL-3.0-or-later
// The report boundary of the file operations.
#include "engine/ReportingOperation.h"

namespace engine {

ReportingOperation::ReportingOperation(OperationMaster* master, int64_t index) : m_row(master, index) {
    m_row.beforeReport([](void* self) noexcept { static_cast<ReportingOperation*>(self)->finish(); }, this);
}

void ReportingOperation::main() {
    m_row.report(m_row.attributed([this] { return isCancelled() ? stopped() : process(); }));
}

} // namespace engine
