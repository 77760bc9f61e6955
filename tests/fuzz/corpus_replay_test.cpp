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
        const char* says;
    };
    const Case cases[] = {
        {platform::FaultPoint::CreateTemp, "a well-formed file was refused"},
        {platform::FaultPoint::Rename, "the operation reported status 2"},
    };
    const auto seed = testsupport::readFile(fs::path(BRISKLET_FUZZ_CORPUS_DIR) / "encrypted-1000");
    for (const Case& c : cases) {
        SCOPED_TRACE(platform::faultPointName(c.point));
        const platform::FaultInjector fault(c.point, 1, platform::FaultMode::FromThenOn);
        EXPECT_TRUE(m_harness.run(seed).starts_with(c.says)) << m_harness.run(seed);
    }
}

} // namespace
