// SPDX-License-Identifier: GPL-3.0-or-later
// The base of work items run by an operation queue, with a cancellation flag any thread may set.
#pragma once

#include <atomic>

namespace platform {

class Operation {
public:
    Operation() = default;
    virtual ~Operation();
    Operation(const Operation&) = delete;
    Operation& operator=(const Operation&) = delete;

    // The work; polls isCancelled() where stopping early is safe.
    virtual void main() = 0;
    // Only asks: main() decides where it stops.
    void cancel();
    bool isCancelled() const;

private:
    std::atomic<bool> m_cancelled{false};
};

} // namespace platform
