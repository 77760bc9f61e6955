// SPDX-License-Identifier: GPL-3.0-or-later
// Moves the rows whose files a run renamed onto the files' new names, once the run has ended.
#include "ui/ListFollower.h"

#include "engine/Cryptor.h"

#include <cstdint>

int ListFollower::followRenamedFiles(engine::Cryptor& cryptor) {
    if (cryptor.isBusy()) {
        return 0;
    }
    int moved = 0;
    const auto rows = static_cast<int64_t>(cryptor.urlCount());
    for (int64_t row = 0; row < rows; ++row) {
        const auto finalURL = cryptor.finalURLOnRow(row);
        if (finalURL != cryptor.urlOnRow(row)) {
            cryptor.replaceURLOnRow(row, finalURL);
            ++moved;
        }
    }
    return moved;
}
