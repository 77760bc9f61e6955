// A recovery run's operation: the state directory, then the rewrite's completion.
#include "engine/RecoveryOperation.h"

#include "engine/Recovery.h"
#include "engine/RewriteStore.h"
#include "engine/StatusCode.h"

#include <utility>

namespace engine {

RecoveryOperation::RecoveryOperation(PendingRewrite record, OperationMaster* master, int64_t index)
    : ReportingOperation(master, index), m_record(std::move(record)) {}

int32_t RecoveryOperation::process() {
    const auto store = RewriteStore::open();
    if (!store) {
        return StatusFailed;
    }
    return recoverRewrite(m_record, *store, nullptr, {});
}

} // namespace engine
