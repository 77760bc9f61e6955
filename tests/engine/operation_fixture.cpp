// SPDX-License-Identifier: GPL-3.0-or-later
// Shared set-up for tests that run file operations directly.
#include "tests/engine/operation_fixture.h"

#include "crypto/passphrase_key.h"
#include "engine/Cryptor.h"
#include "engine/DecryptionOperation.h"
#include "engine/EncryptedFormat.h"
#include "engine/EncryptionOperation.h"
#include "engine/JournalFormat.h"
#include "engine/StatusCode.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace enginetest {

using engine::format::kBlockSize;

void RecordingMaster::updateReason(int64_t, std::string reason) {
    std::lock_guard lock(m_mutex);
    m_lastReason = std::move(reason);
}

std::string RecordingMaster::lastReason() const {
    std::lock_guard lock(m_mutex);
    return m_lastReason;
}

void RecordingMaster::updateStatus(int32_t code, int64_t index) {
    std::lock_guard lock(m_mutex);
    m_reports.emplace_back(code, index);
}

std::vector<std::pair<int32_t, int64_t>> RecordingMaster::reports() const {
    std::lock_guard lock(m_mutex);
    return m_reports;
}

twofish::keyInstance keyFor(std::u16string_view passphrase, uint8_t direction) {
    uint8_t digest[32];
    EXPECT_EQ(passphrase::digest(passphrase, digest), passphrase::Result::Ok);
    twofish::keyInstance key;
    EXPECT_EQ(passphrase::prepareKey(key, direction, digest), twofish::TRUE);
    return key;
}

std::vector<int> sampleCalls(int calls, int ends, int spread) {
    std::vector<int> chosen;
    for (int nth = 1; nth <= calls; ++nth) {
        if (nth <= ends || nth > calls - ends || nth % std::max(1, calls / spread) == 0) {
            chosen.push_back(nth);
        }
    }
    return chosen;
}

std::shared_ptr<const engine::RunKeys> runKeyFor(std::u16string_view passphrase, uint8_t direction) {
    std::string refusal;
    auto keys = engine::RunKeys::forPassphrase(passphrase, direction, &refusal);
    EXPECT_NE(keys, nullptr) << refusal;
    return keys;
}

std::optional<std::vector<uint8_t>> decryptFormat(const std::vector<uint8_t>& encrypted,
                                                  const twofish::keyInstance& decryptKey) {
    if (encrypted.size() % kBlockSize != 0 || encrypted.size() < 3 * kBlockSize) {
        return std::nullopt;
    }
    twofish::keyInstance key = decryptKey;
    twofish::cipherInstance cipher;
    twofish::cipherInit(&cipher, twofish::MODE_CBC, nullptr);
    uint8_t iv[kBlockSize];
    std::memcpy(iv, encrypted.data(), kBlockSize);
    engine::format::loadInitialVector(cipher, iv);

    std::vector<uint8_t> plain(encrypted.size() - kBlockSize);
    const auto bits = static_cast<int32_t>(plain.size() * 8);
    EXPECT_EQ(twofish::blockDecrypt(&cipher, &key, encrypted.data() + kBlockSize, bits, plain.data()), bits);
    if (std::memcmp(plain.data() + plain.size() - kBlockSize, "C19H28O2", 8) != 0) {
        return std::nullopt;
    }
    const uint8_t* finalBlock = plain.data() + plain.size() - 2 * kBlockSize;
    const uint8_t tail = finalBlock[kBlockSize - 1];
    const size_t wholeLength = plain.size() - 2 * kBlockSize;
    std::vector<uint8_t> result(plain.begin(), plain.begin() + static_cast<std::ptrdiff_t>(wholeLength));
    if (tail >= 1 && tail <= 15) {
        result.insert(result.end(), finalBlock, finalBlock + tail);
    }
    return result;
}

std::string directionName(const testing::TestParamInfo<Direction>& info) {
    return info.param == Direction::Encrypt ? "Encrypt" : "Decrypt";
}

std::vector<std::string> OperationTest::tempFiles() const {
    std::vector<std::string> journals;
    for (const std::string& name : testsupport::listNames(m_dir.path())) {
        if (name.starts_with(engine::kJournalPrefix)) {
            journals.push_back(name);
        }
    }
    return journals;
}

void OperationTest::recoverPending() {
    engine::Cryptor cryptor;
    EXPECT_EQ(cryptor.recoverPendingRewrites({m_dir.path()}), std::nullopt);
    cryptor.waitUntilAllOperationsAreFinished();
    for (int64_t row = 0; row < static_cast<int64_t>(cryptor.urlCount()); ++row) {
        EXPECT_EQ(cryptor.statusOnRow(row), engine::StatusDone) << cryptor.failureReasonOnRow(row);
    }
}

void OperationTest::SetUp() {
    if (const char* home = std::getenv("XDG_STATE_HOME")) {
        m_savedStateHome = home;
    }
    setenv("XDG_STATE_HOME", m_tmp.path().c_str(), 1);
}

void OperationTest::TearDown() {
    if (m_savedStateHome) {
        setenv("XDG_STATE_HOME", m_savedStateHome->c_str(), 1);
    } else {
        unsetenv("XDG_STATE_HOME");
    }
}

int32_t OperationTest::run(engine::FileOperation& operation) {
    const size_t before = m_master.reports().size();
    operation.main();
    const auto reports = m_master.reports();
    EXPECT_EQ(reports.size(), before + 1) << "every operation reports exactly once";
    return reports.size() == before + 1 ? reports.back().first : -1;
}

int32_t OperationTest::encrypt(const std::filesystem::path& path, std::u16string_view passphrase) {
    engine::EncryptionOperation operation(path, runKeyFor(passphrase, twofish::DIR_ENCRYPT), &m_master, 7);
    return run(operation);
}

int32_t OperationTest::decrypt(const std::filesystem::path& path, std::u16string_view passphrase) {
    engine::DecryptionOperation operation(path, runKeyFor(passphrase, twofish::DIR_DECRYPT), &m_master, 7);
    return run(operation);
}

} // namespace enginetest
