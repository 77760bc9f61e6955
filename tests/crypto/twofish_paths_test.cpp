// SPDX-License-Identifier: GPL-3.0-or-later
// Twofish variant: every decryption path this CPU runs against the one-block path, byte for byte.
#include "crypto/twofish.h"
#include "crypto/twofish_paths.h"

#include "tests/support/test_seed.h"
#include "tests/support/vector_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iostream>
#include <iterator>
#include <ostream>
#include <random>
#include <string>
#include <vector>

namespace twofish {

// Test names and failure messages show the path by name.
void PrintTo(DecryptPath path, std::ostream* out) {
    *out << decryptPathName(path);
}

} // namespace twofish

namespace {

using testsupport::toHex;
using twofish::cipherInstance;
using twofish::DecryptPath;
using twofish::keyInstance;

constexpr size_t kBlockBytes = 16;
// Bytes around each output buffer that no call may touch.
constexpr size_t kGuardBytes = 64;
constexpr uint8_t kGuard = 0xC3;

// How the blocks reach blockDecryptWith.
struct Calling {
    const char* name;
    bool inPlace;
    bool split; // several calls of random lengths, the chain carried from one to the next
};

constexpr Calling kCallings[] = {
    {"one call", false, false},
    {"one call in place", true, false},
    {"split calls", false, true},
    {"split calls in place", true, true},
};

// Every length up to 40 blocks, lengths around the widest steps (32 and 64 blocks) and their multiples,
// then one long random length: all paths meet whole groups, partial groups and leftovers.
std::vector<size_t> blockCounts(std::mt19937_64& random) {
    std::vector<size_t> counts;
    for (size_t blocks = 1; blocks <= 40; ++blocks) {
        counts.push_back(blocks);
    }
    for (const size_t blocks : {63, 64, 65, 95, 96, 97, 127, 128, 129}) {
        counts.push_back(blocks);
    }
    counts.push_back(1000 + random() % 3000);
    return counts;
}

int32_t bits(size_t blocks) {
    return static_cast<int32_t>(blocks * 8 * kBlockBytes);
}

// A key, a chain and a message with its ciphertext.
struct Case {
    keyInstance key;
    uint8_t mode;
    uint32_t iv[4];
    std::vector<uint8_t> plain;
    std::vector<uint8_t> cipherText;
};

cipherInstance instanceFor(uint8_t mode, const uint32_t (&iv)[4]) {
    cipherInstance cipher{};
    EXPECT_EQ(twofish::cipherInit(&cipher, mode, nullptr), twofish::TRUE);
    std::memcpy(cipher.iv32, iv, sizeof cipher.iv32);
    return cipher;
}

Case randomCase(std::mt19937_64& random, uint8_t mode, size_t blocks) {
    Case c{};
    c.mode = mode;
    EXPECT_EQ(twofish::makeKey(&c.key, random() % 2 == 0 ? twofish::DIR_ENCRYPT : twofish::DIR_DECRYPT, 256,
                               nullptr),
              twofish::TRUE);
    for (uint32_t& word : c.key.key32) {
        word = static_cast<uint32_t>(random());
    }
    EXPECT_EQ(twofish::computeKeySchedule(&c.key), twofish::TRUE);
    for (uint32_t& word : c.iv) {
        word = static_cast<uint32_t>(random());
    }
    c.plain.resize(blocks * kBlockBytes);
    for (uint8_t& byte : c.plain) {
        byte = static_cast<uint8_t>(random());
    }
    // Encryption has a single path; the vectors and the block-call tests pin it down.
    keyInstance key = c.key;
    cipherInstance cipher = instanceFor(c.mode, c.iv);
    c.cipherText.resize(c.plain.size());
    EXPECT_EQ(twofish::blockEncrypt(&cipher, &key, c.plain.data(), bits(blocks), c.cipherText.data()),
              bits(blocks));
    return c;
}

struct Result {
    std::vector<uint8_t> plain;
    std::vector<uint32_t> chain;
    uint8_t keyDirection;
    bool guardsIntact;
};

// Decrypts the case's ciphertext with `path` as `calling` says, split lengths drawn from `random`.
Result decryptWith(DecryptPath path, const Case& c, const Calling& calling, std::mt19937_64& random) {
    keyInstance key = c.key;
    cipherInstance cipher = instanceFor(c.mode, c.iv);
    const size_t blocks = c.cipherText.size() / kBlockBytes;
    std::vector<uint8_t> buffer(kGuardBytes + c.cipherText.size() + kGuardBytes, kGuard);
    uint8_t* out = buffer.data() + kGuardBytes;
    const uint8_t* in = c.cipherText.data();
    if (calling.inPlace) {
        std::copy(c.cipherText.begin(), c.cipherText.end(), out);
        in = out;
    }
    for (size_t done = 0; done < blocks;) {
        // Up to half again the widest step, so that calls both fill and miss the steps.
        const size_t length =
            calling.split ? std::min(blocks - done, size_t{1} + random() % 96) : blocks - done;
        EXPECT_EQ(twofish::blockDecryptWith(path, &cipher, &key, in + done * kBlockBytes, bits(length),
                                            out + done * kBlockBytes),
                  bits(length));
        done += length;
    }
    auto guardIntact = [](uint8_t byte) { return byte == kGuard; };
    return {std::vector<uint8_t>(out, out + c.cipherText.size()),
            std::vector<uint32_t>(std::begin(cipher.iv32), std::end(cipher.iv32)), key.direction,
            std::all_of(buffer.begin(), buffer.begin() + kGuardBytes, guardIntact) &&
                std::all_of(buffer.end() - kGuardBytes, buffer.end(), guardIntact)};
}

// "none", or the first block at which the buffers differ, for a failure message of readable length.
std::string firstDifference(const std::vector<uint8_t>& actual, const std::vector<uint8_t>& expected) {
    if (actual.size() != expected.size()) {
        return "sizes " + std::to_string(actual.size()) + " and " + std::to_string(expected.size());
    }
    for (size_t offset = 0; offset < actual.size(); offset += kBlockBytes) {
        if (!std::equal(actual.begin() + offset, actual.begin() + offset + kBlockBytes,
                        expected.begin() + offset)) {
            return "block " + std::to_string(offset / kBlockBytes) + ": " +
                   toHex(actual.data() + offset, kBlockBytes) + " instead of " +
                   toHex(expected.data() + offset, kBlockBytes);
        }
    }
    return "none";
}

class TwofishDecryptPath : public testing::TestWithParam<DecryptPath> {};

TEST_P(TwofishDecryptPath, MatchesTheOneBlockPathInEveryWayOfCalling) {
    const DecryptPath path = GetParam();
    const uint64_t seed = testsupport::testSeed();
    SCOPED_TRACE("BRISKLET_TEST_SEED=" + std::to_string(seed));
    std::mt19937_64 random(seed);
    if (!twofish::decryptPathSupported(path)) {
        // Forcing a path the CPU lacks is refused before anything is touched, not even the order of the
        // round keys in a record ordered for encryption.
        Case c = randomCase(random, twofish::MODE_CBC, 64);
        twofish::reverseRoundKeyOrder(&c.key, twofish::DIR_ENCRYPT);
        const keyInstance keyBefore = c.key;
        cipherInstance cipher = instanceFor(c.mode, c.iv);
        const cipherInstance cipherBefore = cipher;
        std::vector<uint8_t> buffer = c.cipherText;
        EXPECT_EQ(twofish::blockDecryptWith(path, &cipher, &c.key, buffer.data(), bits(64), buffer.data()),
                  twofish::BAD_CIPHER_MODE);
        EXPECT_EQ(toHex(buffer), toHex(c.cipherText));
        EXPECT_EQ(std::memcmp(&c.key, &keyBefore, sizeof keyBefore), 0);
        EXPECT_EQ(std::memcmp(&cipher, &cipherBefore, sizeof cipherBefore), 0);
        GTEST_SKIP() << twofish::decryptPathName(path) << " is not supported by this CPU";
    }
    for (const uint8_t mode : {twofish::MODE_CBC, twofish::MODE_ECB}) {
        SCOPED_TRACE(mode == twofish::MODE_CBC ? "CBC" : "ECB");
        for (const size_t blocks : blockCounts(random)) {
            SCOPED_TRACE(std::to_string(blocks) + " blocks");
            const Case c = randomCase(random, mode, blocks);
            const Result reference = decryptWith(DecryptPath::OneBlock, c, kCallings[0], random);
            ASSERT_EQ(firstDifference(reference.plain, c.plain), "none");
            for (const Calling& calling : kCallings) {
                SCOPED_TRACE(calling.name);
                const Result result = decryptWith(path, c, calling, random);
                EXPECT_EQ(firstDifference(result.plain, reference.plain), "none");
                EXPECT_EQ(result.chain, reference.chain);
                EXPECT_EQ(result.keyDirection, twofish::DIR_DECRYPT);
                EXPECT_TRUE(result.guardsIntact);
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(, TwofishDecryptPath, testing::ValuesIn(twofish::kDecryptPaths),
                         [](const testing::TestParamInfo<DecryptPath>& info) {
                             return std::string(twofish::decryptPathName(info.param));
                         });

TEST(TwofishDecryptPaths, TheBestPathAndAllNarrowerOnesAreSupported) {
    const DecryptPath best = twofish::bestDecryptPath();
    std::cout << "best decryption path: " << twofish::decryptPathName(best) << '\n';
    for (const DecryptPath path : twofish::kDecryptPaths) {
        SCOPED_TRACE(twofish::decryptPathName(path));
        EXPECT_EQ(twofish::decryptPathSupported(path), path <= best);
    }
    EXPECT_TRUE(twofish::decryptPathSupported(DecryptPath::Scalar4));
}

} // namespace
