// Every platform call an operation makes, failed in turn: one report, and never a lost or half-written file.
#include "engine/DecryptionOperation.h"
#include "engine/EncryptionOperation.h"
#include "engine/LogMessages.h"
#include "engine/StatusCode.h"
#include "platform/FaultInjection.h"
#include "tests/engine/operation_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using namespace enginetest;
using platform::FaultInjector;
using platform::FaultMode;
using platform::FaultPoint;
using testsupport::readFile;
namespace logmsg = engine::logmsg;
namespace fs = std::filesystem;

enum class Direction { Encrypt, Decrypt };

struct FaultCase {
    Direction direction;
    FaultPoint point;
    FaultMode mode;
};

// Keeps gtest from printing the parameter as raw bytes; the test name already says it.
void PrintTo(const FaultCase&, std::ostream*) {}

std::string caseName(const testing::TestParamInfo<FaultCase>& info) {
    static const char* const points[] = {"Open", "Read", "Write", "Seek", "Truncate", "Rename", "CreateTemp"};
    return std::string(info.param.direction == Direction::Encrypt ? "Encrypt" : "Decrypt") +
           points[static_cast<int>(info.param.point)] +
           (info.param.mode == FaultMode::Once ? "Once" : "FromThenOn");
}

class OperationFailureTest : public OperationTest, public testing::WithParamInterface<FaultCase> {
protected:
    // 1000 plain bytes: the output passes through the temporary file, and the write-back takes two chunks.
    const std::vector<uint8_t> m_plain = testsupport::sampleBytes(1000, 5);

    // The file as it is before the operation, and what a finished operation leaves.
    struct Files {
        fs::path input;
        fs::path output;
        std::vector<uint8_t> before;
    };

    Files prepare() {
        const fs::path plainPath = m_dir.writeFile("data.bin", m_plain);
        if (GetParam().direction == Direction::Encrypt) {
            return {plainPath, m_dir.path() / "data.bin.brisklet", m_plain};
        }
        EXPECT_EQ(encrypt(plainPath), engine::StatusDone);
        const fs::path encrypted = m_dir.path() / "data.bin.brisklet";
        return {encrypted, plainPath, readFile(encrypted)};
    }

    int32_t runOperation(const fs::path& input) {
        return GetParam().direction == Direction::Encrypt ? encrypt(input) : decrypt(input);
    }

    bool isTransformed(const std::vector<uint8_t>& content) const {
        if (GetParam().direction == Direction::Encrypt) {
            return decryptFormat(content, keyFor(u"secret", twofish::DIR_DECRYPT)) == m_plain;
        }
        return content == m_plain;
    }
};

TEST_P(OperationFailureTest, NothingIsLostAtAnyFailurePoint) {
    const FaultCase fault = GetParam();
    int calls = 0;
    {
        const Files files = prepare();
        const FaultInjector counter(fault.point, 1 << 30);
        ASSERT_EQ(runOperation(files.input), engine::StatusDone);
        calls = counter.callCount(fault.point);
        fs::remove(files.output);
    }

    int keptReplacements = 0;
    for (int nth = 1; nth <= calls; ++nth) {
        SCOPED_TRACE("failing call " + std::to_string(nth) + " of " + std::to_string(calls));
        const Files files = prepare();
        const size_t logged = logLines().size();
        int32_t code = 0;
        {
            const FaultInjector injector(fault.point, nth, fault.mode);
            code = runOperation(files.input);
        }
        const auto all = logLines();
        const std::vector<std::string> lines(all.begin() + static_cast<std::ptrdiff_t>(logged), all.end());

        if (code == engine::StatusDone) {
            EXPECT_FALSE(fs::exists(files.input));
            EXPECT_TRUE(isTransformed(readFile(files.output)));
        } else if (code == engine::StatusNotRenamed) {
            EXPECT_TRUE(isTransformed(readFile(files.input)));
            EXPECT_FALSE(fs::exists(files.output));
            EXPECT_NE(std::find(lines.begin(), lines.end(), logmsg::kCouldNotRenameFile), lines.end());
        } else {
            ASSERT_EQ(code, engine::StatusFailed);
            EXPECT_FALSE(fs::exists(files.output));
            const auto content = readFile(files.input);
            const auto kept = tempFiles();
            if (content != files.before) {
                // The file was touched: its whole replacement must have been kept, and said where.
                ASSERT_EQ(kept.size(), 1u) << "a changed file without its replacement kept";
                EXPECT_TRUE(isTransformed(readFile(m_tmp.path() / kept[0])));
                ASSERT_GE(lines.size(), 2u);
                const std::string& cause = lines[lines.size() - 2];
                EXPECT_TRUE(cause == logmsg::kWritingToFileFailed || cause == logmsg::kCouldNotTruncateFile)
                    << cause;
                EXPECT_EQ(lines.back(), logmsg::replacementKeptAt((m_tmp.path() / kept[0]).string()));
                ++keptReplacements;
            }
        }
        // Only a kept replacement may stay behind in the temporary directory.
        for (const auto& name : tempFiles()) {
            fs::remove(m_tmp.path() / name);
        }
        fs::remove(files.input);
        fs::remove(files.output);
    }
    // A write that fails after the first chunk, and a failing truncation, leave a half-written file: make
    // sure those paths were taken, not just passed by.
    if (fault.point == FaultPoint::Write ||
        (fault.point == FaultPoint::Truncate && fault.direction == Direction::Decrypt)) {
        EXPECT_GT(keptReplacements, 0);
    }
}

std::vector<FaultCase> allCases() {
    std::vector<FaultCase> cases;
    for (Direction direction : {Direction::Encrypt, Direction::Decrypt}) {
        for (FaultPoint point : {FaultPoint::Open, FaultPoint::Read, FaultPoint::Write, FaultPoint::Seek,
                                 FaultPoint::Truncate, FaultPoint::Rename, FaultPoint::CreateTemp}) {
            for (FaultMode mode : {FaultMode::Once, FaultMode::FromThenOn}) {
                cases.push_back({direction, point, mode});
            }
        }
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(AllCalls, OperationFailureTest, testing::ValuesIn(allCases()), caseName);

} // namespace
