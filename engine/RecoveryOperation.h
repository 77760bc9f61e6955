// SPDX-License-Identifier: GPL-3.0-or-later
// Completes the rewrites that one journal holds, as rows of a run: the journal is checked, then its files
// enter the same pipeline as a fresh rewrite, at the re-check.
#pragma once

#include "engine/JournalFormat.h"
#include "engine/RowReport.h"
#include "platform/Operation.h"

#include <filesystem>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace engine {

class RecoveryOperation final : public platform::Operation {
public:
    // `rows` has one row per entry that the journal held when it was found, in the journal's order, or a
    // single row for a journal whose entries could not be read. `expected` are those entries.
    RecoveryOperation(std::filesystem::path folder, std::string journalName,
                      std::vector<JournalEntry> expected, std::vector<std::unique_ptr<RowReport>> rows);

    // Every row reports exactly once: StatusDone or StatusNotRenamed with "recovered after an
    // interruption" once its file is complete, or StatusFailed with why, the journal kept.
    void main() override;

private:
    void recover();
    // Every row not reported yet fails with the lines logged so far.
    void failAll(std::string_view line);

    const std::filesystem::path m_folder;
    const std::string m_journalName;
    const std::vector<JournalEntry> m_expected;
    std::vector<std::unique_ptr<RowReport>> m_rows;
};

} // namespace engine
