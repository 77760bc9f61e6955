// SPDX-License-Identifier: GPL-3.0-or-later
// Every platform call an operation makes, failed in turn: one report, and never a lost or half-written file.
#include "engine/Cryptor.h"
#include "engine/DecryptionOperation.h"
#include "engine/EncryptionOperation.h"
#include "engine/LogMessages.h"
#include "engine/StatusCode.h"
#include "platform/FaultInjection.h"
#include "tests/engine/operation_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>

namespace {

using namespace enginetest;
using platform::FaultInjector;
using platform::FaultMode;
using platform::FaultPoint;
using testsupport::readFile;
namespace logmsg = engine::logmsg;
namespace fs = std::filesystem;

struct FaultCase {
    Direction direction;
    FaultPoint point;
    FaultMode mode;
    int error;
};

// Keeps gtest from printing the parameter as raw bytes; the test name already says it.
void PrintTo(const FaultCase&, std::ostream*) {}

std::string caseName(const testing::TestParamInfo<FaultCase>& info) {
    const FaultCase& c = info.param;
    std::string name = c.direction == Direction::Encrypt ? "Encrypt" : "Decrypt";
    name += platform::faultPointName(c.point);
    name += c.mode == FaultMode::Once ? "Once" : "FromThenOn";
    if (c.error != EIO) {
        name += c.error == ENOSPC ? "NoSpace" : c.error == EOPNOTSUPP ? "NotSupported" : "CrossDevice";
    }
    return name;
}

class OperationFailureTest : public OperationTest, public testing::WithParamInterface<FaultCase> {
protected:
    // Over a mebibyte: the write-back takes two chunks, and the replacement passes through its file.
    const std::vector<uint8_t> m_plain = testsupport::sampleBytes((1 << 20) + 1000, 5);

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

// Every call when there are few; otherwise the first and last few, which cover opening and the write-back,
// and a spread between them, where every failure is the same read or append.
std::vector<int> callsToFail(int calls) {
    constexpr int kEnds = 6;
    constexpr int kSpread = 6;
    std::vector<int> chosen;
    for (int nth = 1; nth <= calls; ++nth) {
        const bool nearAnEnd = nth <= kEnds || nth > calls - kEnds;
        const bool spread =
            calls > 2 * kEnds && (nth - kEnds) % std::max(1, (calls - 2 * kEnds) / kSpread) == 0;
        if (nearAnEnd || spread) {
            chosen.push_back(nth);
        }
    }
    return chosen;
}

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

    int recovered = 0;
    for (const int nth : callsToFail(calls)) {
        SCOPED_TRACE("failing call " + std::to_string(nth) + " of " + std::to_string(calls));
        const Files files = prepare();
        const size_t logged = logLines().size();
        int32_t code = 0;
        {
            const FaultInjector injector(fault.point, nth, fault.mode, fault.error);
            code = runOperation(files.input);
        }
        const auto all = logLines();
        const std::vector<std::string> lines(all.begin() + static_cast<std::ptrdiff_t>(logged), all.end());

        if (code == engine::StatusDone) {
            EXPECT_FALSE(fs::exists(files.input));
            EXPECT_TRUE(isTransformed(readFile(files.output)));
            // When the journal's removal failed, it stays until recovery finds its rewrite complete.
            recoverPending();
            EXPECT_TRUE(isTransformed(readFile(files.output)));
        } else if (code == engine::StatusNotRenamed) {
            EXPECT_TRUE(isTransformed(readFile(files.input)));
            EXPECT_FALSE(fs::exists(files.output));
            EXPECT_NE(std::find(lines.begin(), lines.end(), logmsg::kCouldNotRenameFile), lines.end());
        } else {
            ASSERT_EQ(code, engine::StatusFailed);
            if (tempFiles().empty()) {
                EXPECT_FALSE(fs::exists(files.output));
                EXPECT_EQ(readFile(files.input), files.before) << "failed, yet changed without a way back";
            } else {
                // The file may be incomplete or renamed before its folder was synced: its journal waits
                // beside it, the log says how to complete it, and recovery does.
                EXPECT_EQ(tempFiles().size(), 1u);
                ASSERT_GE(lines.size(), 1u);
                EXPECT_EQ(lines.back(), logmsg::interruptedRewritePending(m_dir.path().string()));
                recoverPending();
                EXPECT_FALSE(fs::exists(files.input));
                EXPECT_TRUE(isTransformed(readFile(files.output)));
                ++recovered;
            }
        }
        EXPECT_TRUE(tempFiles().empty()) << "no journal stays behind";
        fs::remove(files.input);
        fs::remove(files.output);
    }
    // The write-back's own copies, syncs and cut leave the file mixed: make sure those paths were taken,
    // not just passed by.
    const bool touchesTheFile =
        fault.point == FaultPoint::CopyFileRange || fault.point == FaultPoint::Sync ||
        (fault.point == FaultPoint::Truncate && fault.direction == Direction::Decrypt);
    if (touchesTheFile && fault.error == EIO) {
        EXPECT_GT(recovered, 0);
    }
}

std::vector<FaultCase> allCases() {
    std::vector<FaultCase> cases;
    for (Direction direction : {Direction::Encrypt, Direction::Decrypt}) {
        for (int point = 0; point < platform::kFaultPointCount; ++point) {
            for (FaultMode mode : {FaultMode::Once, FaultMode::FromThenOn}) {
                cases.push_back({direction, static_cast<FaultPoint>(point), mode, EIO});
            }
        }
        // A full disk, and a file system that cannot reserve space ahead.
        cases.push_back({direction, FaultPoint::Fallocate, FaultMode::Once, ENOSPC});
        cases.push_back({direction, FaultPoint::Fallocate, FaultMode::Once, EOPNOTSUPP});
        cases.push_back({direction, FaultPoint::Write, FaultMode::FromThenOn, ENOSPC});
        // Where the kernel cannot copy between the files, the write-back goes through memory.
        cases.push_back({direction, FaultPoint::CopyFileRange, FaultMode::FromThenOn, EXDEV});
    }
    return cases;
}

INSTANTIATE_TEST_SUITE_P(AllCalls, OperationFailureTest, testing::ValuesIn(allCases()), caseName);

} // namespace
