// SPDX-License-Identifier: GPL-3.0-or-later
// The one line that sums up a run once it has ended, e.g. "6 encrypted, 3 failed, 1 stopped".
#pragma once

#include "ui/StatusText.h"

#include <QString>

#include <array>
#include <cstdint>
#include <vector>

// Each kind of run counts its own categories in a fixed order; empty categories are left out. A row that
// shares another row's file (listed twice) counts once, with that row.
class RunSummary {
public:
    enum class Kind { Encrypt, Decrypt, Check, Recovery };

    explicit RunSummary(Kind kind) : m_kind(kind) {}

    // A row's outcome after an encryption, a decryption or the recovery at launch: its code and the
    // codes of its reason. Rows that the run did not reach (added during it) have no outcome and count
    // nowhere.
    void addRow(int32_t code, const std::vector<engine::Reason>& reasons);
    // A row's answer after a check.
    void addCheckAnswer(CheckAnswer answer);

    // "6 encrypted, 3 failed, 1 stopped"; empty when nothing was counted.
    QString text() const;

private:
    Kind m_kind;
    std::array<int, 4> m_counts{};
};
