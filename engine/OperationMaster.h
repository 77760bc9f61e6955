// SPDX-License-Identifier: GPL-3.0-or-later
// What a file operation reports its outcome to.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/ReasonCode.h"

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

    // Called now and then while the operation works, on its thread, before updateStatus: `done` of `total`
    // units. A file counts its bytes transformed and then its bytes written back, against twice its
    // length. Must be cheap: it is called from the operation's inner loops.
    virtual void updateProgress(int64_t index, uint64_t done, uint64_t total) {
        (void)index;
        (void)done;
        (void)total;
    }

    // Called right before updateReason, on the same thread, with the code of each of those lines in order.
    virtual void updateReasonCodes(int64_t index, std::vector<Reason> reasons) {
        (void)index;
        (void)reasons;
    }

    // Called before updateStatus, on the operation's thread, when the operation (or a recovery) gave the
    // row's file another name: the path under which the file now lives. Rows are not renamed during a
    // run; a front end may follow the new names once the run has ended.
    virtual void updateFinalURL(int64_t index, std::filesystem::path url) {
        (void)index;
        (void)url;
    }
};

} // namespace engine
