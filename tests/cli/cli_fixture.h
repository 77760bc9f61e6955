// SPDX-License-Identifier: GPL-3.0-or-later
// The brisklet-cli program under test, run as a child with a passphrase file and a state directory of
// the test's own (where the runs keep their hint index of folders that held journals).
#pragma once

#include "engine/JournalFormat.h"
#include "tests/cli/child_process.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace clitest {

namespace fs = std::filesystem;

class CliTest : public ::testing::Test {
protected:
    ChildResult run(const std::vector<std::string>& args,
                    const std::optional<std::string>& fd3Input = std::nullopt) const {
        return runChild(BRISKLET_CLI_PATH, args, fd3Input);
    }

    // A passphrase file outside the files under test; its content is written as given.
    std::string passphraseFile(const std::string& content) {
        const std::string name = "passphrase" + std::to_string(m_secretCount++);
        return m_secrets.writeFile(name, std::vector<uint8_t>(content.begin(), content.end())).string();
    }

    // The arguments of a command with the passphrase given by a file.
    std::vector<std::string> argsWith(const std::string& command, const std::string& passphrase,
                                      const std::vector<fs::path>& paths) {
        std::vector<std::string> args = {command, "--passphrase-file", passphraseFile(passphrase + "\n")};
        for (const auto& path : paths) {
            args.push_back(path.string());
        }
        return args;
    }

    ChildResult runWith(const std::string& command, const std::string& passphrase,
                        const std::vector<fs::path>& paths) {
        return run(argsWith(command, passphrase, paths));
    }

    // The journals of interrupted or running rewrites that lie in the folder.
    static std::vector<fs::path> journalsIn(const fs::path& folder) {
        std::vector<fs::path> journals;
        for (const std::string& name : testsupport::listNames(folder)) {
            if (name.starts_with(engine::kJournalPrefix)) {
                journals.push_back(folder / name);
            }
        }
        return journals;
    }

    testsupport::TempDir m_dir;
    // The children inherit it: each test watches a state directory of its own.
    testsupport::TempDir m_stateHome;
    testsupport::ScopedEnv m_stateHomeVariable{"XDG_STATE_HOME", m_stateHome.path().string()};

private:
    testsupport::TempDir m_secrets;
    int m_secretCount = 0;
};

} // namespace clitest
