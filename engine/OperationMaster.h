// What a file operation reports its outcome to.
#pragma once

#include <cstdint>
#include <string>

namespace engine {

class OperationMaster {
public:
    virtual ~OperationMaster() = default;

    // Called exactly once per operation, on the operation's worker thread, with a StatusCode and the
    // operation's row. Must be safe to call from several threads at once.
    virtual void updateStatus(int32_t code, int64_t index) = 0;

    // Called right before updateStatus, on the same thread, with the log lines the operation wrote
    // joined by "; " (empty when it wrote none), so that a front end can say why a file failed.
    virtual void updateReason(int64_t index, std::string reason) {
        (void)index;
        (void)reason;
    }
};

} // namespace engine
