// SPDX-License-Identifier: GPL-3.0-or-later
// Operation's cancellation flag.
#include "platform/Operation.h"

namespace platform {

Operation::~Operation() = default;

void Operation::cancel() {
    m_cancelled.store(true);
}

bool Operation::isCancelled() const {
    return m_cancelled.load();
}

} // namespace platform
