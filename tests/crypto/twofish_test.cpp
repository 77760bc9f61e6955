// SPDX-License-Identifier: GPL-3.0-or-later
// Twofish variant: vectors, chaining across calls, direction switching, refusals and random round trips.
#include "crypto/twofish.h"

#include "tests/support/test_seed.h"
#include "tests/support/vector_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

using testsupport::toHex;
using twofish::cipherInstance;
using twofish::keyInstance;

constexpr int32_t kBlockBytes = 16;

uint32_t littleEndianWord(const uint8_t* b) {
    return uint32_t{b[0]} | uint32_t{b[1]} << 8 | uint32_t{b[2]} << 16 | uint32_t{b[3]} << 24;
}

uint32_t bigEndianWord(const uint8_t* b) {
    return uint32_t{b[0]} << 24 | uint32_t{b[1]} << 16 | uint32_t{b[2]} << 8 | uint32_t{b[3]};
}

keyInstance scheduleFromWords(const uint32_t (&words)[8], uint8_t direction) {
    keyInstance key{};
    EXPECT_EQ(twofish::makeKey(&key, direction, 256, nullptr), twofish::TRUE);
    std::memcpy(key.key32, words, sizeof key.key32);
    EXPECT_EQ(twofish::computeKeySchedule(&key), twofish::TRUE);
    return key;
}

keyInstance scheduleFromBytes(const std::vector<uint8_t>& keyBytes, uint8_t direction) {
    uint32_t words[8] = {};
    EXPECT_EQ(keyBytes.size(), 32u);
    for (size_t i = 0; i < 8 && 4 * i + 3 < keyBytes.size(); ++i) {
        words[i] = littleEndianWord(&keyBytes[4 * i]);
    }
    return scheduleFromWords(words, direction);
}

cipherInstance instance(uint8_t mode, const uint32_t (&iv)[4] = {}) {
    cipherInstance cipher{};
    EXPECT_EQ(twofish::cipherInit(&cipher, mode, nullptr), twofish::TRUE);
    std::memcpy(cipher.iv32, iv, sizeof cipher.iv32);
    return cipher;
}

cipherInstance cbcFromBytes(const std::vector<uint8_t>& ivBytes) {
    uint32_t iv[4] = {};
    EXPECT_EQ(ivBytes.size(), 16u);
    for (size_t i = 0; i < 4 && 4 * i + 3 < ivBytes.size(); ++i) {
        iv[i] = bigEndianWord(&ivBytes[4 * i]);
    }
    return instance(twofish::MODE_CBC, iv);
}

int32_t bits(const std::vector<uint8_t>& bytes) {
    return static_cast<int32_t>(bytes.size() * 8);
}

std::vector<uint8_t> encrypt(cipherInstance& cipher, keyInstance& key, const std::vector<uint8_t>& in) {
    std::vector<uint8_t> out(in.size());
    EXPECT_EQ(twofish::blockEncrypt(&cipher, &key, in.data(), bits(in), out.data()), bits(in));
    return out;
}

std::vector<uint8_t> decrypt(cipherInstance& cipher, keyInstance& key, const std::vector<uint8_t>& in) {
    std::vector<uint8_t> out(in.size());
    EXPECT_EQ(twofish::blockDecrypt(&cipher, &key, in.data(), bits(in), out.data()), bits(in));
    return out;
}

// The same bytes, one 128-bit call per block.
template <typename BlockFunction>
std::vector<uint8_t> perBlock(BlockFunction function, cipherInstance& cipher, keyInstance& key,
                              const std::vector<uint8_t>& in) {
    std::vector<uint8_t> out(in.size());
    for (size_t offset = 0; offset < in.size(); offset += kBlockBytes) {
        EXPECT_EQ(function(&cipher, &key, in.data() + offset, 128, out.data() + offset), 128);
    }
    return out;
}

std::vector<uint32_t> chainWords(const cipherInstance& cipher) {
    return {cipher.iv32[0], cipher.iv32[1], cipher.iv32[2], cipher.iv32[3]};
}

// After a CBC call the chaining words are the last ciphertext block read as big-endian words.
std::vector<uint32_t> lastBlockWords(const std::vector<uint8_t>& ciphertext) {
    if (ciphertext.size() < kBlockBytes) {
        ADD_FAILURE() << "no ciphertext block";
        return {};
    }
    const uint8_t* last = ciphertext.data() + ciphertext.size() - kBlockBytes;
    return {bigEndianWord(last), bigEndianWord(last + 4), bigEndianWord(last + 8), bigEndianWord(last + 12)};
}

template <typename Record>
bool sameBytes(const Record& a, const Record& b) {
    return std::memcmp(&a, &b, sizeof(Record)) == 0;
}

std::vector<testsupport::VectorRecord> section(const std::string& name) {
    std::vector<testsupport::VectorRecord> records;
    for (auto& record : testsupport::readVectorFile("twofish.vec")) {
        if (record.section == name) {
            records.push_back(std::move(record));
        }
    }
    EXPECT_FALSE(records.empty()) << "no [" << name << "] vectors";
    return records;
}

TEST(TwofishVectors, EncryptWithEitherRecordDirectionAndDecryptBack) {
    for (const auto& record : section("Encrypt")) {
        SCOPED_TRACE(record.where());
        const auto in = record.bytes("In");
        const auto out = record.bytes("Out");
        for (const uint8_t direction : {twofish::DIR_ENCRYPT, twofish::DIR_DECRYPT}) {
            SCOPED_TRACE(direction == twofish::DIR_ENCRYPT ? "encryption record" : "decryption record");
            keyInstance key = scheduleFromBytes(record.bytes("Key"), direction);
            if (record.has("Subkey0")) {
                EXPECT_EQ(key.subKeys[0], record.number("Subkey0"));
                EXPECT_EQ(key.subKeys[1], record.number("Subkey1"));
            }
            cipherInstance ecb = instance(twofish::MODE_ECB);
            EXPECT_EQ(toHex(encrypt(ecb, key, in)), toHex(out));
            EXPECT_EQ(toHex(decrypt(ecb, key, out)), toHex(in));
        }
    }
}

TEST(TwofishVectors, CbcInOneCallInBlockCallsAndInPlace) {
    for (const auto& record : section("CBC")) {
        SCOPED_TRACE(record.where());
        const auto in = record.bytes("In");
        const auto out = record.bytes("Out");
        keyInstance key = scheduleFromBytes(record.bytes("Key"), twofish::DIR_ENCRYPT);

        cipherInstance whole = cbcFromBytes(record.bytes("IV"));
        EXPECT_EQ(toHex(encrypt(whole, key, in)), toHex(out));
        EXPECT_EQ(chainWords(whole), lastBlockWords(out));

        cipherInstance split = cbcFromBytes(record.bytes("IV"));
        EXPECT_EQ(toHex(perBlock(twofish::blockEncrypt, split, key, in)), toHex(out));
        EXPECT_EQ(chainWords(split), lastBlockWords(out));

        std::vector<uint8_t> buffer = in;
        cipherInstance inPlaceEncryption = cbcFromBytes(record.bytes("IV"));
        ASSERT_EQ(twofish::blockEncrypt(&inPlaceEncryption, &key, buffer.data(), bits(buffer), buffer.data()),
                  bits(buffer));
        EXPECT_EQ(toHex(buffer), toHex(out));
        cipherInstance inPlaceDecryption = cbcFromBytes(record.bytes("IV"));
        ASSERT_EQ(twofish::blockDecrypt(&inPlaceDecryption, &key, buffer.data(), bits(buffer), buffer.data()),
                  bits(buffer));
        EXPECT_EQ(toHex(buffer), toHex(in));
    }
}

TEST(TwofishVectors, RecordOfTheOtherDirectionIsSwitchedInPlaceAndStillWorks) {
    for (const auto& record : section("CBC")) {
        SCOPED_TRACE(record.where());
        const auto in = record.bytes("In");
        const auto out = record.bytes("Out");
        for (const uint8_t direction : {twofish::DIR_ENCRYPT, twofish::DIR_DECRYPT}) {
            SCOPED_TRACE(direction == twofish::DIR_ENCRYPT ? "encryption record" : "decryption record");
            keyInstance key = scheduleFromBytes(record.bytes("Key"), direction);

            cipherInstance decryption = cbcFromBytes(record.bytes("IV"));
            EXPECT_EQ(toHex(decrypt(decryption, key, out)), toHex(in));
            EXPECT_EQ(key.direction, twofish::DIR_DECRYPT);
            EXPECT_EQ(chainWords(decryption), lastBlockWords(out));

            cipherInstance encryption = cbcFromBytes(record.bytes("IV"));
            EXPECT_EQ(toHex(encrypt(encryption, key, in)), toHex(out));
            EXPECT_EQ(key.direction, twofish::DIR_ENCRYPT);
        }
    }
}

TEST(TwofishKeySchedule, RecordsOfBothDirectionsDifferOnlyInRoundKeyOrder) {
    const uint32_t words[8] = {0x03020100, 0x07060504, 0x0B0A0908, 0x0F0E0D0C,
                               0x13121110, 0x17161514, 0x1B1A1918, 0x1F1E1D1C};
    keyInstance encryption = scheduleFromWords(words, twofish::DIR_ENCRYPT);
    const keyInstance decryption = scheduleFromWords(words, twofish::DIR_DECRYPT);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(encryption.subKeys[i], decryption.subKeys[i]) << "whitening subkey " << i;
    }
    for (int pair = 0; pair < 16; ++pair) {
        EXPECT_EQ(encryption.subKeys[8 + 2 * pair], decryption.subKeys[38 - 2 * pair]) << "pair " << pair;
        EXPECT_EQ(encryption.subKeys[9 + 2 * pair], decryption.subKeys[39 - 2 * pair]) << "pair " << pair;
    }
    twofish::reverseRoundKeyOrder(&encryption, twofish::DIR_DECRYPT);
    EXPECT_TRUE(sameBytes(encryption, decryption));
}

TEST(TwofishKeySchedule, CopiedRecordIsSelfContained) {
    const uint32_t words[8] = {0xDEADBEEF, 1, 2, 3, 4, 5, 6, 0x80000000};
    auto original = std::make_unique<keyInstance>(scheduleFromWords(words, twofish::DIR_ENCRYPT));
    keyInstance copy = *original;
    const std::vector<uint8_t> in(4 * kBlockBytes, 0x5A);
    cipherInstance first = instance(twofish::MODE_CBC, {1, 2, 3, 4});
    const auto expected = encrypt(first, *original, in);

    std::memset(original.get(), 0xFF, sizeof(keyInstance));
    original.reset();
    cipherInstance second = instance(twofish::MODE_CBC, {1, 2, 3, 4});
    EXPECT_EQ(toHex(encrypt(second, copy, in)), toHex(expected));
}

TEST(TwofishBlockFunctions, ZeroOrNegativeLengthProcessesNothing) {
    const uint32_t words[8] = {};
    for (const int32_t length : {0, -128, -5}) {
        SCOPED_TRACE("length " + std::to_string(length));
        keyInstance key = scheduleFromWords(words, twofish::DIR_ENCRYPT);
        cipherInstance cipher = instance(twofish::MODE_CBC, {9, 8, 7, 6});
        const std::vector<uint8_t> in(kBlockBytes, 1);
        const std::vector<uint8_t> untouched(kBlockBytes, 0xA5);
        std::vector<uint8_t> out = untouched;
        EXPECT_EQ(twofish::blockEncrypt(&cipher, &key, in.data(), length, out.data()), length);
        EXPECT_EQ(twofish::blockDecrypt(&cipher, &key, in.data(), length, out.data()), length);
        EXPECT_EQ(toHex(out), toHex(untouched));
        EXPECT_EQ(chainWords(cipher), (std::vector<uint32_t>{9, 8, 7, 6}));
    }
}

TEST(TwofishBlockFunctions, RefusedCallsChangeNothing) {
    struct Case {
        const char* name;
        uint8_t mode;
        int32_t length;
        int32_t expected;
    };
    const Case cases[] = {
        {"one-bit feedback mode", twofish::MODE_CFB1, 128, twofish::BAD_CIPHER_MODE},
        {"length not a whole block", twofish::MODE_CBC, 130, twofish::BAD_INPUT_LEN},
        {"ECB, length not a whole block", twofish::MODE_ECB, 8, twofish::BAD_INPUT_LEN},
    };
    const uint32_t words[8] = {5};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        for (const bool encrypting : {true, false}) {
            // A record of the other direction shows that not even the round key order is touched.
            keyInstance key =
                scheduleFromWords(words, encrypting ? twofish::DIR_DECRYPT : twofish::DIR_ENCRYPT);
            const keyInstance keyBefore = key;
            cipherInstance cipher = instance(c.mode, {1, 2, 3, 4});
            const cipherInstance cipherBefore = cipher;
            const std::vector<uint8_t> in(2 * kBlockBytes, 7);
            const std::vector<uint8_t> untouched(2 * kBlockBytes, 0xA5);
            std::vector<uint8_t> out = untouched;
            const auto function = encrypting ? twofish::blockEncrypt : twofish::blockDecrypt;
            EXPECT_EQ(function(&cipher, &key, in.data(), c.length, out.data()), c.expected);
            EXPECT_TRUE(sameBytes(key, keyBefore));
            EXPECT_TRUE(sameBytes(cipher, cipherBefore));
            EXPECT_EQ(toHex(out), toHex(untouched));
        }
    }
}

TEST(TwofishMakeKey, RoundsTheLengthUpAndClearsTheKeyWords) {
    for (const char* text : {static_cast<const char*>(nullptr), ""}) {
        SCOPED_TRACE(text == nullptr ? "no key text" : "empty key text");
        keyInstance key;
        std::memset(&key, 0xAB, sizeof key);
        EXPECT_EQ(twofish::makeKey(&key, twofish::DIR_DECRYPT, 200, text), twofish::TRUE);
        EXPECT_EQ(key.direction, twofish::DIR_DECRYPT);
        EXPECT_EQ(key.keyLen, 256);
        EXPECT_EQ(key.numRounds, 16);
        EXPECT_EQ(key.keyMaterial[64], '\0');
        for (const uint32_t word : key.key32) {
            EXPECT_EQ(word, 0u);
        }
    }
}

TEST(TwofishMakeKey, RefusesKeyTextUnofferedLengthsAndUnknownDirections) {
    struct Case {
        const char* name;
        uint8_t direction;
        int32_t length;
        const char* text;
        int32_t expected;
    };
    const Case cases[] = {
        {"key text", twofish::DIR_ENCRYPT, 256, "0123456789abcdef", twofish::BAD_KEY_MAT},
        {"128-bit key", twofish::DIR_ENCRYPT, 128, nullptr, twofish::BAD_KEY_MAT},
        {"192-bit key", twofish::DIR_ENCRYPT, 192, nullptr, twofish::BAD_KEY_MAT},
        {"longer than 256 bits", twofish::DIR_ENCRYPT, 257, nullptr, twofish::BAD_KEY_MAT},
        {"zero length", twofish::DIR_DECRYPT, 0, nullptr, twofish::BAD_KEY_MAT},
        {"negative length", twofish::DIR_DECRYPT, -256, nullptr, twofish::BAD_KEY_MAT},
        {"unknown direction", 2, 256, nullptr, twofish::BAD_KEY_DIR},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        keyInstance key;
        std::memset(&key, 0xAB, sizeof key);
        const keyInstance before = key;
        EXPECT_EQ(twofish::makeKey(&key, c.direction, c.length, c.text), c.expected);
        EXPECT_TRUE(sameBytes(key, before));
    }
}

TEST(TwofishCipherInit, StoresTheModeAndLeavesTheChainingWordsAlone) {
    struct Case {
        const char* name;
        uint8_t mode;
        const char* iv;
        int32_t expected;
    };
    const Case cases[] = {
        {"CBC without IV text", twofish::MODE_CBC, nullptr, twofish::TRUE},
        {"ECB with IV text", twofish::MODE_ECB, "00112233445566778899aabbccddeeff", twofish::TRUE},
        {"CBC with IV text", twofish::MODE_CBC, "00112233445566778899aabbccddeeff", twofish::BAD_IV_MAT},
        {"CBC with empty IV text", twofish::MODE_CBC, "", twofish::BAD_IV_MAT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        cipherInstance cipher;
        std::memset(&cipher, 0xCD, sizeof cipher);
        cipherInstance expected = cipher;
        if (c.expected == twofish::TRUE) {
            expected.mode = c.mode;
        }
        EXPECT_EQ(twofish::cipherInit(&cipher, c.mode, c.iv), c.expected);
        EXPECT_TRUE(sameBytes(cipher, expected));
    }
}

TEST(TwofishRandom, MultiBlockCallsEqualBlockCallsAndRoundTrip) {
    const uint64_t seed = testsupport::testSeed();
    SCOPED_TRACE("BRISKLET_TEST_SEED=" + std::to_string(seed));
    std::mt19937_64 random(seed);
    auto word = [&] { return static_cast<uint32_t>(random()); };

    for (int trial = 0; trial < 24; ++trial) {
        SCOPED_TRACE("trial " + std::to_string(trial));
        uint32_t keyWords[8];
        for (uint32_t& w : keyWords) {
            w = word();
        }
        const uint32_t iv[4] = {word(), word(), word(), word()};
        std::vector<uint8_t> plain(kBlockBytes * (1 + random() % 64));
        for (uint8_t& byte : plain) {
            byte = static_cast<uint8_t>(random());
        }
        const uint8_t direction = random() % 2 == 0 ? twofish::DIR_ENCRYPT : twofish::DIR_DECRYPT;
        keyInstance key = scheduleFromWords(keyWords, direction);

        for (const uint8_t mode : {twofish::MODE_CBC, twofish::MODE_ECB}) {
            SCOPED_TRACE(mode == twofish::MODE_CBC ? "CBC" : "ECB");
            cipherInstance wholeEncryption = instance(mode, iv);
            const auto cipherText = encrypt(wholeEncryption, key, plain);
            cipherInstance blockEncryption = instance(mode, iv);
            EXPECT_EQ(toHex(perBlock(twofish::blockEncrypt, blockEncryption, key, plain)), toHex(cipherText));
            EXPECT_EQ(chainWords(blockEncryption), chainWords(wholeEncryption));

            cipherInstance wholeDecryption = instance(mode, iv);
            EXPECT_EQ(toHex(decrypt(wholeDecryption, key, cipherText)), toHex(plain));
            cipherInstance blockDecryption = instance(mode, iv);
            EXPECT_EQ(toHex(perBlock(twofish::blockDecrypt, blockDecryption, key, cipherText)), toHex(plain));
            EXPECT_EQ(chainWords(blockDecryption), chainWords(wholeDecryption));
            if (mode == twofish::MODE_CBC) {
                EXPECT_EQ(chainWords(wholeEncryption), lastBlockWords(cipherText));
                EXPECT_EQ(chainWords(wholeDecryption), lastBlockWords(cipherText));
            } else {
                // ECB neither reads nor writes the chaining words.
                EXPECT_EQ(chainWords(wholeEncryption), std::vector<uint32_t>(iv, iv + 4));
                cipherInstance zeroChain = instance(mode);
                EXPECT_EQ(toHex(encrypt(zeroChain, key, plain)), toHex(cipherText));
            }
        }
    }
}

} // namespace
