// SPDX-License-Identifier: GPL-3.0-or-later
// The decryption of one fuzzer input, and the comparison of its outcome with what the file holds.
#include "tests/fuzz/decrypt_harness.h"

#include "crypto/passphrase_key.h"
#include "engine/DecryptionOperation.h"
#include "engine/OperationMaster.h"
#include "engine/PassphraseCheck.h"
#include "engine/RunKeys.h"
#include "engine/StatusCode.h"
#include "platform/Log.h"
#include "tests/fuzz/reference_format.h"

#include <algorithm>
#include <cstring>
#include <fcntl.h>
#include <optional>
#include <stdexcept>
#include <sys/stat.h>
#include <system_error>
#include <unistd.h>
#include <utility>
#include <vector>

namespace fuzztest {

namespace {

namespace fs = std::filesystem;

constexpr std::size_t kIvAt = 0;
constexpr std::size_t kCountAt = kIvAt + kBlock;
constexpr std::size_t kUncheckedAt = kCountAt + 1;
constexpr std::size_t kPlainAt = kUncheckedAt + 8;

// Keeps the one report an operation must make; the operation runs on this thread, so no lock is needed.
class Reports final : public engine::OperationMaster {
public:
    void updateStatus(int32_t code, int64_t) override {
        m_code = code;
        ++m_count;
    }
    void updateReason(int64_t, std::string reason) override { m_reason = std::move(reason); }

    int32_t m_code = -1;
    int m_count = 0;
    std::string m_reason;
};

twofish::keyInstance keyFor(std::u16string_view passphrase, uint8_t direction) {
    uint8_t digest[passphrase::kDigestSize];
    twofish::keyInstance key{};
    if (passphrase::digest(passphrase, digest) != passphrase::Result::Ok ||
        passphrase::prepareKey(key, direction, digest) != twofish::TRUE) {
        throw std::runtime_error("the fuzzing passphrases give no key");
    }
    return key;
}

std::shared_ptr<const engine::RunKeys> runKeysFor(std::u16string_view passphrase) {
    std::string refusal;
    auto keys = engine::RunKeys::forPassphrase(passphrase, twofish::DIR_DECRYPT, &refusal);
    if (!keys) {
        throw std::runtime_error("the fuzzing passphrases give no key");
    }
    return keys;
}

// Bytes of `input` from `at` on, at most `length`, zero where the input has ended.
void copyPadded(std::span<const uint8_t> input, std::size_t at, uint8_t* dest, std::size_t length) {
    std::memset(dest, 0, length);
    if (at < input.size()) {
        std::memcpy(dest, input.data() + at, std::min(length, input.size() - at));
    }
}

std::vector<uint8_t> buildFile(std::span<const uint8_t> description, const twofish::keyInstance& encryptKey) {
    PlainLayout layout;
    copyPadded(description, kIvAt, layout.iv.data(), kBlock);
    const uint8_t count = kCountAt < description.size() ? description[kCountAt] : 0;
    std::memcpy(layout.checkBlock.data(), "C19H28O2", 8);
    copyPadded(description, kUncheckedAt, layout.checkBlock.data() + 8, 8);
    const auto plain =
        description.size() > kPlainAt ? description.subspan(kPlainAt) : std::span<const uint8_t>{};
    const std::size_t whole = plain.size() / kBlock * kBlock;
    layout.wholeBlocks.assign(plain.begin(), plain.begin() + static_cast<std::ptrdiff_t>(whole));
    std::copy(plain.begin() + static_cast<std::ptrdiff_t>(whole), plain.end(), layout.finalBlock.begin());
    layout.finalBlock[kBlock - 1] = count;
    return writeEncrypted(layout, encryptKey);
}

bool writeWhole(const fs::path& path, const std::vector<uint8_t>& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd < 0) {
        return false;
    }
    const ssize_t written = ::write(fd, bytes.data(), bytes.size());
    return ::close(fd) == 0 && written == static_cast<ssize_t>(bytes.size());
}

// None when the file does not exist or cannot be read whole.
std::optional<std::vector<uint8_t>> readWhole(const fs::path& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    struct stat info {};
    std::optional<std::vector<uint8_t>> bytes;
    if (::fstat(fd, &info) == 0) {
        bytes.emplace(static_cast<std::size_t>(info.st_size));
        if (::read(fd, bytes->data(), bytes->size()) != static_cast<ssize_t>(bytes->size())) {
            bytes.reset();
        }
    }
    ::close(fd);
    return bytes;
}

const char* outcomeName(engine::CheckOutcome outcome) {
    switch (outcome) {
    case engine::CheckOutcome::Opens:
        return "opens";
    case engine::CheckOutcome::WrongPassphrase:
        return "wrong passphrase";
    case engine::CheckOutcome::NotEncrypted:
        return "not encrypted";
    case engine::CheckOutcome::Unreadable:
        return "unreadable";
    case engine::CheckOutcome::RewritePending:
        return "rewrite pending";
    case engine::CheckOutcome::SymbolicLink:
        return "symbolic link";
    case engine::CheckOutcome::NotRegularFile:
        return "not a regular file";
    }
    return "?";
}

// The check command decides from the last two blocks alone; it must agree with the whole file's reading.
std::string compareCheck(const fs::path& source, const std::vector<uint8_t>& file, bool decrypts,
                         const engine::RunKeys& keys) {
    const bool wellSized = file.size() % kBlock == 0 && file.size() >= 3 * kBlock;
    const engine::CheckOutcome expected = !wellSized ? engine::CheckOutcome::NotEncrypted
                                          : decrypts ? engine::CheckOutcome::Opens
                                                     : engine::CheckOutcome::WrongPassphrase;
    const engine::CheckOutcome found = engine::checkFile(source, keys).outcome;
    if (found != expected) {
        return std::string("the check says '") + outcomeName(found) + "' where the layout gives '" +
               outcomeName(expected) + "'";
    }
    return {};
}

std::string compareDecryption(const Reports& reports, const fs::path& source, const fs::path& target,
                              const std::vector<uint8_t>& file,
                              const std::optional<std::vector<uint8_t>>& expected) {
    if (reports.m_count != 1) {
        return "the operation reported " + std::to_string(reports.m_count) + " times";
    }
    const auto left = readWhole(source);
    const auto made = readWhole(target);
    switch (reports.m_code) {
    case engine::StatusDone:
        if (!expected) {
            return "a file whose check block does not match was decrypted";
        }
        if (left) {
            return "the encrypted file is still there after a decryption";
        }
        if (made != expected) {
            return "the decrypted file differs from the plain text the layout holds";
        }
        return {};
    case engine::StatusFailed:
        if (expected) {
            return "a well-formed file was refused: " + reports.m_reason;
        }
        if (left != file) {
            return "a file that did not decrypt was changed";
        }
        if (made) {
            return "a file that did not decrypt left a decrypted name behind";
        }
        return {};
    default:
        return "the operation reported status " + std::to_string(reports.m_code) + ": " + reports.m_reason;
    }
}

// A decryption that ends, however, completes or removes its journal: one left beside the file would be a
// rewrite pending where the report says there is none. The state directory may keep only the hint index
// of folders that held journals, never a replacement of the file.
std::string compareLeftovers(const fs::path& workDirectory, const fs::path& stateDirectory,
                             const std::vector<fs::path>& expected) {
    std::error_code error;
    for (fs::directory_iterator it(workDirectory, error), end; !error && it != end; it.increment(error)) {
        if (std::find(expected.begin(), expected.end(), it->path()) == expected.end()) {
            return "the work folder keeps " + it->path().filename().string();
        }
    }
    for (fs::directory_iterator it(stateDirectory, error), end; !error && it != end; it.increment(error)) {
        const std::string name = it->path().filename().string();
        if (name != "journals" && name != "journals.lock") {
            return "the state directory keeps " + name;
        }
    }
    return {};
}

} // namespace

DecryptHarness::DecryptHarness(std::filesystem::path workDirectory, std::filesystem::path stateHome)
    : m_workDirectory(std::move(workDirectory)), m_stateHome(std::move(stateHome)),
      m_encryptKey(keyFor(kRightPassphrase, twofish::DIR_ENCRYPT)),
      m_decryptKey(keyFor(kRightPassphrase, twofish::DIR_DECRYPT)),
      m_wrongDecryptKey(keyFor(kWrongPassphrase, twofish::DIR_DECRYPT)),
      m_decryptKeys(runKeysFor(kRightPassphrase)), m_wrongDecryptKeys(runKeysFor(kWrongPassphrase)) {}

DecryptHarness::~DecryptHarness() = default;

std::string DecryptHarness::run(std::span<const uint8_t> input) {
    if (input.empty()) {
        return {};
    }
    const uint8_t mode = input[0];
    const auto rest = input.subspan(1);
    const twofish::keyInstance& key = (mode & kUseWrongPassphrase) != 0 ? m_wrongDecryptKey : m_decryptKey;
    const std::vector<uint8_t> file = (mode & kBuildFromPlainText) != 0
                                          ? buildFile(rest, m_encryptKey)
                                          : std::vector<uint8_t>(rest.begin(), rest.end());
    const auto expected = readEncrypted(file, key);
    if ((mode & kBuildFromPlainText) != 0 && (mode & kUseWrongPassphrase) == 0 && !expected) {
        return "a file built with a valid check block does not read back";
    }

    const fs::path source = m_workDirectory / "input.brisklet";
    const fs::path target = m_workDirectory / "input";
    if (!writeWhole(source, file)) {
        return "the input file could not be written";
    }
    const auto& runKeys = (mode & kUseWrongPassphrase) != 0 ? m_wrongDecryptKeys : m_decryptKeys;
    std::string failure = compareCheck(source, file, expected.has_value(), *runKeys);
    if (failure.empty()) {
        Reports reports;
        {
            const platform::LogCapture quiet;
            engine::DecryptionOperation operation(source, runKeys, &reports, 0);
            operation.main();
        }
        failure = compareDecryption(reports, source, target, file, expected);
    }
    if (failure.empty()) {
        failure = compareLeftovers(m_workDirectory, m_stateHome / "brisklet", {source, target});
    }
    // Everything goes, journals included, so that no input meets what an earlier one left.
    std::vector<fs::path> left;
    std::error_code error;
    for (fs::directory_iterator it(m_workDirectory, error), end; !error && it != end; it.increment(error)) {
        left.push_back(it->path());
    }
    for (const fs::path& path : left) {
        fs::remove(path, error);
    }
    return failure;
}

} // namespace fuzztest
