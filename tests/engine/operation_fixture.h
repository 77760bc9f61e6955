// SPDX-License-Identifier: GPL-3.0-or-later
// Shared set-up for tests that run file operations directly: keys, a recording master, a private state
// directory.
#pragma once

#include "crypto/twofish.h"
#include "engine/FileOperation.h"
#include "engine/OperationMaster.h"
#include "engine/RunKeys.h"
#include "platform/Log.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace enginetest {

// Records every report; safe to call from several threads.
class RecordingMaster : public engine::OperationMaster {
public:
    void updateReason(int64_t index, std::string reason) override;
    void updateStatus(int32_t code, int64_t index) override;
    std::vector<std::pair<int32_t, int64_t>> reports() const;
    std::string lastReason() const;

private:
    mutable std::mutex m_mutex;
    std::vector<std::pair<int32_t, int64_t>> m_reports;
    std::string m_lastReason;
};

twofish::keyInstance keyFor(std::u16string_view passphrase, uint8_t direction);
// The run's keys that operations take, as a run makes them.
std::shared_ptr<const engine::RunKeys> runKeyFor(std::u16string_view passphrase, uint8_t direction);

// Of the calls 1..calls to a fault point, those a crash or failure test tries: the first and last `ends`,
// and about `spread` more between them.
std::vector<int> sampleCalls(int calls, int ends, int spread);

// Which way a parameterised test runs its operations.
enum class Direction { Encrypt, Decrypt };
std::string directionName(const testing::TestParamInfo<Direction>& info);

// The plain text of an encrypted file, read independently of the decryption operation; none when the
// check block does not match.
std::optional<std::vector<uint8_t>> decryptFormat(const std::vector<uint8_t>& encrypted,
                                                  const twofish::keyInstance& decryptKey);

class OperationTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs one operation on this thread and returns its only report's code (fails the test otherwise).
    int32_t encrypt(const std::filesystem::path& path, std::u16string_view passphrase = u"secret");
    int32_t decrypt(const std::filesystem::path& path, std::u16string_view passphrase = u"secret");
    int32_t run(engine::FileOperation& operation);
    // Completes what failures and crashes left pending in the test's folder, as `recover` would; every
    // pending rewrite must complete.
    void recoverPending();

    // The replacements and records in the state directory.
    std::filesystem::path stateDirectory() const { return m_tmp.path() / "brisklet"; }
    // The journals beside the files.
    std::vector<std::string> tempFiles() const;
    std::vector<std::string> logLines() const { return m_log.lines(); }

    testsupport::TempDir m_dir;
    testsupport::TempDir m_tmp;
    RecordingMaster m_master;
    platform::LogCapture m_log;

private:
    std::optional<std::string> m_savedStateHome;
};

} // namespace enginetest
