// Completes one pending rewrite that an earlier run left behind, as a row of a recovery run.
#pragma once

#include "engine/PendingRewrite.h"
#include "engine/ReportingOperation.h"

namespace engine {

class RecoveryOperation final : public ReportingOperation {
public:
    RecoveryOperation(PendingRewrite record, OperationMaster* master, int64_t index);

private:
    // StatusDone or StatusNotRenamed once the file is complete, with the reason "recovered after an
    // interruption"; StatusFailed, with the record and the replacement kept, when it cannot be completed.
    int32_t process() override;

    const PendingRewrite m_record;
};

} // namespace engine
