// SPDX-License-Identifier: GPL-3.0-or-later
// The decryption fuzzer's corpus replayed through its harness on every build, and the harness shown to
// notice a decryption that goes wrong.
#include "platform/FaultInjection.h"
#include "tests/fuzz/decrypt_harness.h"
#include "tests/support/scoped_env.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using fuzztest::DecryptHarness;

class FuzzCorpusTest : public ::testing::Test {
protected:
    testsupport::TempDir m_work;
    testsupport::TempDir m_stateHome;
    testsupport::ScopedEnv m_stateHomeVariable{"XDG_STATE_HOME", m_stateHome.path().string()};
    DecryptHarness m_harness{m_work.path(), m_stateHome.path()};
};

std::vector<fs::path> corpusFiles() {
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(BRISKLET_FUZZ_CORPUS_DIR)) {
        files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

TEST_F(FuzzCorpusTest, EveryInputKeepsEveryPromise) {
    const auto files = corpusFiles();
    ASSERT_FALSE(files.empty());
    for (const auto& file : files) {
        EXPECT_EQ(m_harness.run(testsupport::readFile(file)), "") << file.filename();
        EXPECT_EQ(m_work.names(), std::vector<std::string>{}) << file.filename();
    }
}

// A well-formed file whose decryption the platform makes fail: the harness must say so, not pass it.
TEST_F(FuzzCorpusTest, HarnessReportsADecryptionThatGoesWrong) {
    struct Case {
        platform::FaultPoint point;
        int from; // the first call that fails
        const char* says;
    };
    const Case cases[] = {
        {platform::FaultPoint::CreateTemp, 1, "a well-formed file was refused"},
        // The first rename names the journal; the second is the file's own.
        {platform::FaultPoint::Rename, 2, "the operation reported status 2"},
        // Decrypted and reported done, but the journal could not be removed: a rewrite seemingly pending.
        {platform::FaultPoint::Unlink, 1, "the work folder keeps .brisklet-journal-"},
    };
    const auto seed = testsupport::readFile(fs::path(BRISKLET_FUZZ_CORPUS_DIR) / "encrypted-1000");
    for (const Case& c : cases) {
        SCOPED_TRACE(platform::faultPointName(c.point));
        std::string says;
        {
            const platform::FaultInjector fault(c.point, c.from, platform::FaultMode::FromThenOn);
            says = m_harness.run(seed);
        }
        EXPECT_TRUE(says.starts_with(c.says)) << says;
        EXPECT_EQ(m_work.names(), std::vector<std::string>{})
            << "the harness leaves nothing for the next input";
    }
}

} // namespace
