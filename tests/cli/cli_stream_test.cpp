// SPDX-License-Identifier: GPL-3.0-or-later
// encrypt -, decrypt - and check -: the encrypted format through standard input and output, judged by the
// independent reader of tests/fuzz, against files encrypted in place, and through its failures.
#include "cli/StreamDecryption.h"
#include "cli/StreamEncryption.h"
#include "cli/StreamIo.h"
#include "crypto/passphrase_key.h"
#include "engine/EncryptedFormat.h"
#include "platform/FaultInjection.h"
#include "tests/cli/child_process.h"
#include "tests/cli/cli_fixture.h"
#include "tests/fuzz/reference_format.h"
#include "tests/support/temp_dir.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace {

using clitest::ChildResult;
using clitest::ChildStreams;
using clitest::CliTest;
using testsupport::readFile;
using testsupport::sampleBytes;
namespace fs = std::filesystem;
using Input = ChildStreams::Input;
using Output = ChildStreams::Output;

constexpr char kPassphrase[] = "stream secret";
constexpr char kWrongPassphraseLine[] = "brisklet-cli: wrong passphrase; the output is not the plain text\n";
constexpr std::size_t kChunk = cli::kStreamChunkLength;

// Around the block boundaries, and across the chunks the commands read at a time.
const std::vector<std::size_t> kSizes = {0,    1,          15,     16,          17,
                                         1000, kChunk - 1, kChunk, kChunk + 17, 3 * kChunk + 5};

std::string text(const std::vector<uint8_t>& bytes) {
    return {bytes.begin(), bytes.end()};
}

std::vector<uint8_t> bytesOf(const std::string& text) {
    return {text.begin(), text.end()};
}

twofish::keyInstance keyFor(std::u16string_view passphrase, uint8_t direction) {
    uint8_t digest[passphrase::kDigestSize];
    twofish::keyInstance key{};
    EXPECT_EQ(passphrase::digest(passphrase, digest), passphrase::Result::Ok);
    EXPECT_EQ(passphrase::prepareKey(key, direction, digest), twofish::TRUE);
    return key;
}

const twofish::keyInstance& decryptKey() {
    static const twofish::keyInstance key = keyFor(u"stream secret", twofish::DIR_DECRYPT);
    return key;
}

const char* inputName(Input input) {
    return input == Input::File ? "file" : "pipe";
}

class StreamTest : public CliTest {
protected:
    ChildResult pipe(const std::string& command, const std::string& passphrase, const std::string& input,
                     Input from = Input::Pipe, Output to = Output::File,
                     const std::vector<std::string>& more = {}) {
        std::vector<std::string> args = argsWith(command, passphrase, {"-"});
        args.insert(args.end(), more.begin(), more.end());
        return clitest::runChildWithStreams(BRISKLET_CLI_PATH, args, {from, input, to});
    }
};

// What encrypt - writes, the reference reader opens; what decrypt - makes of it, and of a file encrypted in
// place, is the plain text again.
TEST_F(StreamTest, RoundTripsAgreeWithTheReferenceReaderAndTheInPlaceFormat) {
    for (const std::size_t size : kSizes) {
        const std::vector<uint8_t> plain = sampleBytes(size, static_cast<uint32_t>(size));
        const fs::path file = m_dir.writeFile("in place", plain);
        ASSERT_EQ(runWith("encrypt", kPassphrase, {file}).exitCode, 0);
        const fs::path inPlace = fs::path(file) += ".brisklet";
        const std::string encryptedInPlace = text(readFile(inPlace));
        fs::remove(inPlace);

        for (const Input from : {Input::Pipe, Input::File}) {
            SCOPED_TRACE(std::to_string(size) + " bytes from a " + inputName(from));
            const ChildResult encrypted = pipe("encrypt", kPassphrase, text(plain), from);
            ASSERT_EQ(encrypted.exitCode, 0) << encrypted.err;
            EXPECT_EQ(encrypted.err, "");
            ASSERT_EQ(encrypted.out.size(), engine::format::encryptedLength(size));
            EXPECT_EQ(fuzztest::readEncrypted(bytesOf(encrypted.out), decryptKey()), plain);

            const ChildResult decrypted = pipe("decrypt", kPassphrase, encrypted.out, from);
            EXPECT_EQ(decrypted.exitCode, 0) << decrypted.err;
            EXPECT_EQ(decrypted.err, "");
            EXPECT_TRUE(decrypted.out == text(plain)) << decrypted.out.size() << " bytes out";

            const ChildResult restored = pipe("decrypt", kPassphrase, encryptedInPlace, from);
            EXPECT_EQ(restored.exitCode, 0) << restored.err;
            EXPECT_TRUE(restored.out == text(plain)) << restored.out.size() << " bytes out";
        }
    }
}

// The same bytes as the layout written from its description, block for block, given the same IV.
TEST_F(StreamTest, EncryptionWritesExactlyTheDescribedLayout) {
    const twofish::keyInstance encryptKey = keyFor(u"stream secret", twofish::DIR_ENCRYPT);
    fuzztest::Block iv{};
    for (std::size_t i = 0; i < iv.size(); ++i) {
        iv[i] = static_cast<uint8_t>(0xA0 + i);
    }
    for (const std::size_t size : kSizes) {
        SCOPED_TRACE(size);
        const std::vector<uint8_t> plain = sampleBytes(size, 7);
        const fs::path in = m_dir.writeFile("plain", plain);
        const fs::path out = m_dir.writeFile("encrypted", {});
        const int inFd = ::open(in.c_str(), O_RDONLY | O_CLOEXEC);
        const int outFd = ::open(out.c_str(), O_WRONLY | O_CLOEXEC);
        ASSERT_GE(inFd, 0);
        ASSERT_GE(outFd, 0);
        twofish::keyInstance key = encryptKey;
        uint8_t ivBytes[16];
        std::memcpy(ivBytes, iv.data(), sizeof ivBytes);
        const cli::StreamResult result = cli::encryptStream(inFd, outFd, key, ivBytes);
        ::close(inFd);
        ::close(outFd);
        EXPECT_EQ(result.outcome, cli::StreamOutcome::Done);

        fuzztest::PlainLayout layout;
        layout.iv = iv;
        const std::size_t whole = size - size % 16;
        layout.wholeBlocks.assign(plain.begin(), plain.begin() + static_cast<std::ptrdiff_t>(whole));
        std::copy(plain.begin() + static_cast<std::ptrdiff_t>(whole), plain.end(), layout.finalBlock.begin());
        layout.finalBlock[15] = static_cast<uint8_t>(size % 16);
        std::memcpy(layout.checkBlock.data(), "C19H28O2Two2Fish", 16);
        EXPECT_TRUE(readFile(out) == fuzztest::writeEncrypted(layout, encryptKey));
        EXPECT_EQ(result.written, engine::format::encryptedLength(size));
    }
}

TEST_F(StreamTest, WrongPassphraseExitsOneAndSaysTheOutputIsNotThePlainText) {
    const std::vector<uint8_t> plain = sampleBytes(3 * kChunk + 5, 3);
    const ChildResult encrypted = pipe("encrypt", kPassphrase, text(plain));
    ASSERT_EQ(encrypted.exitCode, 0) << encrypted.err;

    // Through a pipe the end, and with it the check, comes last: every data block is out by then.
    const ChildResult piped = pipe("decrypt", "Stream secret", encrypted.out, Input::Pipe);
    EXPECT_EQ(piped.exitCode, 1);
    EXPECT_EQ(piped.err, kWrongPassphraseLine);
    EXPECT_EQ(piped.out.size(), 3 * kChunk);
    EXPECT_FALSE(piped.out == text(plain).substr(0, piped.out.size()));

    // From a file the last two blocks are read first, as for a file decrypted in place.
    const ChildResult seekable = pipe("decrypt", "Stream secret", encrypted.out, Input::File);
    EXPECT_EQ(seekable.exitCode, 1);
    EXPECT_EQ(seekable.err, kWrongPassphraseLine);
    EXPECT_EQ(seekable.out, "");

    // A short input is held whole until its check.
    const ChildResult small = pipe("encrypt", kPassphrase, "short");
    const ChildResult smallWrong = pipe("decrypt", "Stream secret", small.out, Input::Pipe);
    EXPECT_EQ(smallWrong.exitCode, 1);
    EXPECT_EQ(smallWrong.err, kWrongPassphraseLine);
    EXPECT_EQ(smallWrong.out, "");
}

TEST_F(StreamTest, InputsNoEncryptionCouldMakeAreRefused) {
    const ChildResult encrypted = pipe("encrypt", kPassphrase, text(sampleBytes(kChunk + 100, 4)));
    ASSERT_EQ(encrypted.exitCode, 0) << encrypted.err;
    const std::vector<std::string> inputs = {"", std::string(15, 'x'), std::string(32, 'x'),
                                             std::string(50, 'x'),
                                             encrypted.out.substr(0, encrypted.out.size() - 1)};
    for (const std::string& input : inputs) {
        for (const Input from : {Input::Pipe, Input::File}) {
            SCOPED_TRACE(std::to_string(input.size()) + " bytes from a " + inputName(from));
            const ChildResult decrypted = pipe("decrypt", kPassphrase, input, from);
            EXPECT_EQ(decrypted.exitCode, 1);
            EXPECT_NE(decrypted.err.find("the input is not an encrypted file"), std::string::npos)
                << decrypted.err;
            const ChildResult checked = pipe("check", kPassphrase, input, from);
            EXPECT_EQ(checked.exitCode, 1);
            EXPECT_EQ(checked.out, "-: not an encrypted file\n");
        }
    }
}

TEST_F(StreamTest, CheckReadsToTheEndAndAnswers) {
    const ChildResult encrypted = pipe("encrypt", kPassphrase, text(sampleBytes(2 * kChunk + 3, 5)));
    ASSERT_EQ(encrypted.exitCode, 0) << encrypted.err;
    struct Case {
        std::string passphrase;
        int exitCode;
        std::string out;
    };
    const std::vector<Case> cases = {{kPassphrase, 0, "-: opens\n"},
                                     {"Stream secret", 1, "-: wrong passphrase\n"}};
    for (const auto& c : cases) {
        for (const Input from : {Input::Pipe, Input::File}) {
            SCOPED_TRACE(c.passphrase + " from a " + inputName(from));
            const ChildResult checked = pipe("check", c.passphrase, encrypted.out, from);
            EXPECT_EQ(checked.exitCode, c.exitCode) << checked.err;
            EXPECT_EQ(checked.out, c.out);
            EXPECT_EQ(checked.err, "");
        }
    }
}

// Data on a terminal is a redirection forgotten; the passphrase's descriptor cannot be the data's.
TEST_F(StreamTest, TerminalsAndStandardInputAsPassphraseAreRefused) {
    struct Case {
        std::string command;
        Input from;
        Output to;
        std::vector<std::string> more;
        std::string err;
    };
    const std::vector<Case> cases = {
        {"encrypt", Input::Pipe, Output::Terminal, {}, "refusing to write encrypted data to a terminal"},
        {"decrypt", Input::Pipe, Output::Terminal, {}, "refusing to write the plain text to a terminal"},
        {"encrypt", Input::Terminal, Output::File, {}, "refusing to read the plain text from a terminal"},
        {"encrypt", Input::Pipe, Output::File, {"--passphrase-fd", "0"}, "--passphrase-fd 0 cannot be used"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.err);
        // --passphrase-fd comes on top of --passphrase-file: the usage error names the one that matters.
        std::vector<std::string> args = {c.command, "-"};
        args.insert(args.end(), c.more.begin(), c.more.end());
        if (c.more.empty()) {
            args.push_back("--passphrase-file");
            args.push_back(passphraseFile("secret\n"));
        }
        const ChildResult result =
            clitest::runChildWithStreams(BRISKLET_CLI_PATH, args, {c.from, "data", c.to});
        EXPECT_EQ(result.exitCode, 2);
        EXPECT_NE(result.err.find(c.err), std::string::npos) << result.err;
        EXPECT_EQ(result.out, "");
    }
}

// A reader that has gone is a failed write, said as one, never a silent end by SIGPIPE or a success.
TEST_F(StreamTest, AReaderThatGoesAwayFailsTheRunWithAMessage) {
    for (const std::string command : {"encrypt", "decrypt"}) {
        SCOPED_TRACE(command);
        const ChildResult result =
            pipe(command, kPassphrase, text(sampleBytes(2 * kChunk, 6)), Input::Pipe, Output::ClosedPipe);
        EXPECT_EQ(result.signal, 0);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.err,
                  "brisklet-cli: cannot write to standard output (Broken pipe); the output is incomplete\n");
    }
}

TEST_F(StreamTest, AFileNamedDashIsReachedAsAPath) {
    const fs::path dash = m_dir.writeFile("-", sampleBytes(100, 8));
    const ChildResult result = runWith("encrypt", kPassphrase, {dash});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(result.out, dash.string() + ": done\n");
    EXPECT_EQ(fuzztest::readEncrypted(readFile(m_dir.path() / "-.brisklet"), decryptKey()),
              sampleBytes(100, 8));
}

// Failed reads and writes, at the first call and at later ones, end the pass with their cause, never as
// done.
TEST_F(StreamTest, FailedReadsAndWritesAreFailures) {
    const twofish::keyInstance encryptKey = keyFor(u"stream secret", twofish::DIR_ENCRYPT);
    const uint8_t iv[16] = {};
    const std::vector<uint8_t> plain = sampleBytes(2 * kChunk + 20, 9);
    const fs::path plainFile = m_dir.writeFile("plain", plain);
    const fs::path encryptedFile = m_dir.writeFile("encrypted", {});
    const auto pass = [&](bool encrypt, const fs::path& from, const fs::path& to) {
        const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
        const int out = ::open(to.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC);
        EXPECT_GE(in, 0);
        EXPECT_GE(out, 0);
        twofish::keyInstance key = encrypt ? encryptKey : decryptKey();
        const cli::StreamResult result =
            encrypt ? cli::encryptStream(in, out, key, iv) : cli::decryptStream(in, out, key);
        ::close(in);
        ::close(out);
        return result;
    };
    ASSERT_EQ(pass(true, plainFile, encryptedFile).outcome, cli::StreamOutcome::Done);

    struct Case {
        platform::FaultPoint point;
        int nth;
        cli::StreamOutcome outcome;
    };
    const std::vector<Case> cases = {
        {platform::FaultPoint::Read, 1, cli::StreamOutcome::ReadFailed},
        {platform::FaultPoint::Read, 3, cli::StreamOutcome::ReadFailed},
        {platform::FaultPoint::Write, 1, cli::StreamOutcome::WriteFailed},
        {platform::FaultPoint::Write, 3, cli::StreamOutcome::WriteFailed},
    };
    const fs::path out = m_dir.writeFile("out", {});
    for (const auto& c : cases) {
        for (const bool encrypt : {true, false}) {
            SCOPED_TRACE(std::string(platform::faultPointName(c.point)) + " " + std::to_string(c.nth) +
                         (encrypt ? " encrypting" : " decrypting"));
            cli::StreamResult result;
            {
                platform::FaultInjector fault(c.point, c.nth, platform::FaultMode::Once, EIO);
                result = pass(encrypt, encrypt ? plainFile : encryptedFile, out);
            }
            EXPECT_EQ(result.outcome, c.outcome);
            EXPECT_EQ(result.error, EIO);
            EXPECT_EQ(result.written, fs::file_size(out));
            EXPECT_LT(result.written, plain.size());
        }
    }
}

// A file as standard output is synced before the command says it is done; a pipe has nothing to sync.
TEST_F(StreamTest, AFileAsOutputIsSyncedAndAFailedSyncIsAFailure) {
    const fs::path file = m_dir.writeFile("out", sampleBytes(100));
    const int fd = ::open(file.c_str(), O_WRONLY | O_CLOEXEC);
    int pipeFds[2] = {-1, -1};
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::pipe2(pipeFds, O_CLOEXEC), 0);
    {
        platform::FaultInjector fault(platform::FaultPoint::Sync, 1, platform::FaultMode::FromThenOn, EIO);
        EXPECT_TRUE(cli::syncWhereAFile(pipeFds[1]));
        EXPECT_FALSE(cli::syncWhereAFile(fd));
        EXPECT_EQ(errno, EIO);
        EXPECT_EQ(fault.callCount(platform::FaultPoint::Sync), 1);
    }
    EXPECT_TRUE(cli::syncWhereAFile(fd));
    ::close(fd);
    ::close(pipeFds[0]);
    ::close(pipeFds[1]);
}

} // namespace
