// SPDX-License-Identifier: GPL-3.0-or-later
// Key derivation: which bytes of a passphrase are hashed, refusals, and the key schedule it prepares.
#include "crypto/passphrase_key.h"

#include "crypto/jh.h"
#include "tests/support/vector_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

using testsupport::toHex;

std::u16string unitsFrom(const std::vector<uint8_t>& bigEndianPairs) {
    std::u16string units;
    for (size_t i = 0; i + 1 < bigEndianPairs.size(); i += 2) {
        units += static_cast<char16_t>(bigEndianPairs[i] << 8 | bigEndianPairs[i + 1]);
    }
    return units;
}

std::string jh256(const std::vector<uint8_t>& bytes) {
    uint8_t out[32];
    jh::Hash(256, bytes.data(), bytes.size() * 8, out);
    return toHex(out, 32);
}

TEST(PassphraseDigest, HashesTheFirstUtf16LengthBytesOfTheUtf8Form) {
    const auto records = testsupport::readVectorFile("kdf.vec");
    ASSERT_FALSE(records.empty());
    for (const auto& record : records) {
        SCOPED_TRACE(record.where());
        std::u16string passphrase = unitsFrom(record.bytes("Units"));
        if (record.has("Repeat")) {
            passphrase = std::u16string(record.number("Repeat"), passphrase.at(0));
        }
        uint8_t digest[32] = {};
        ASSERT_EQ(passphrase::digest(passphrase, digest), passphrase::Result::Ok);
        EXPECT_EQ(toHex(digest, 32), toHex(record.bytes("Digest")));
        if (record.has("Hashed")) {
            EXPECT_EQ(toHex(digest, 32), jh256(record.bytes("Hashed")));
        }
    }
}

TEST(PassphraseDigest, BytesPushedOffTheEndDoNotAffectTheKey) {
    // Two two-byte characters push the last two UTF-8 bytes out of the hashed range.
    uint8_t first[32];
    uint8_t second[32];
    ASSERT_EQ(passphrase::digest(u"\u00e9\u00e8abcd", first), passphrase::Result::Ok);
    ASSERT_EQ(passphrase::digest(u"\u00e9\u00e8abXY", second), passphrase::Result::Ok);
    EXPECT_EQ(toHex(first, 32), toHex(second, 32));
    EXPECT_EQ(toHex(first, 32), jh256({0xC3, 0xA9, 0xC3, 0xA8, 'a', 'b'}));

    // One character beyond U+FFFF: two code units, so two of its four UTF-8 bytes.
    ASSERT_EQ(passphrase::digest(u"\U0001F600", first), passphrase::Result::Ok);
    EXPECT_EQ(toHex(first, 32), jh256({0xF0, 0x9F}));
}

TEST(PassphraseDigest, RefusesWhatCannotBeHashedSafely) {
    struct Case {
        const char* name;
        std::u16string passphrase;
        passphrase::Result expected;
    };
    const Case cases[] = {
        {"255 code units", std::u16string(255, u'a'), passphrase::Result::TooLong},
        {"255 units ending in a pair", std::u16string(253, u'a') + u"\U0001F600",
         passphrase::Result::TooLong},
        {"lone high surrogate", std::u16string(u"ab") + char16_t(0xD800), passphrase::Result::NoUtf8Form},
        {"high surrogate then a letter", std::u16string(1, char16_t(0xD83D)) + u"x",
         passphrase::Result::NoUtf8Form},
        {"lone low surrogate", std::u16string(1, char16_t(0xDE00)) + u"abcdef",
         passphrase::Result::NoUtf8Form},
        {"surrogate beyond the hashed bytes", u"\u00e9\u00e8abc" + std::u16string(1, char16_t(0xDC00)),
         passphrase::Result::NoUtf8Form},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        uint8_t digest[32];
        std::memset(digest, 0xA5, sizeof digest);
        EXPECT_EQ(passphrase::digest(c.passphrase, digest), c.expected);
        EXPECT_FALSE(passphrase::describe(c.expected).empty());
        for (uint8_t byte : digest) {
            ASSERT_EQ(byte, 0xA5) << "a refused passphrase must not touch the digest";
        }
    }
    EXPECT_TRUE(passphrase::describe(passphrase::Result::Ok).empty());
}

TEST(PassphraseKey, LoadsTheDigestAsLittleEndianKeyWordsAndWipesIt) {
    uint8_t digest[32];
    ASSERT_EQ(passphrase::digest(u"correct horse battery staple", digest), passphrase::Result::Ok);
    uint8_t copy[32];
    std::memcpy(copy, digest, sizeof copy);

    twofish::keyInstance key;
    EXPECT_EQ(passphrase::prepareKey(key, twofish::DIR_DECRYPT, digest), twofish::TRUE);
    for (uint8_t byte : digest) {
        ASSERT_EQ(byte, 0);
    }
    EXPECT_EQ(key.key32[0],
              uint32_t{copy[0]} | uint32_t{copy[1]} << 8 | uint32_t{copy[2]} << 16 | uint32_t{copy[3]} << 24);

    // The same schedule as building it step by step by hand, in the run's direction.
    twofish::keyInstance manual;
    ASSERT_EQ(twofish::makeKey(&manual, twofish::DIR_DECRYPT, 256, nullptr), twofish::TRUE);
    std::memcpy(manual.key32, copy, sizeof manual.key32);
    twofish::computeKeySchedule(&manual);
    EXPECT_EQ(key.direction, twofish::DIR_DECRYPT);
    EXPECT_EQ(0, std::memcmp(key.subKeys, manual.subKeys, sizeof key.subKeys));
    EXPECT_EQ(0, std::memcmp(key.sBox8x32, manual.sBox8x32, sizeof key.sBox8x32));
}

TEST(PassphraseKey, EncryptionKeyDecryptsWhatItEncrypts) {
    uint8_t digest[32];
    ASSERT_EQ(passphrase::digest(u"p\u00e4ssw\u00f6rd", digest), passphrase::Result::Ok);
    uint8_t digestAgain[32];
    std::memcpy(digestAgain, digest, sizeof digest);
    twofish::keyInstance encryptKey;
    twofish::keyInstance decryptKey;
    ASSERT_EQ(passphrase::prepareKey(encryptKey, twofish::DIR_ENCRYPT, digest), twofish::TRUE);
    ASSERT_EQ(passphrase::prepareKey(decryptKey, twofish::DIR_DECRYPT, digestAgain), twofish::TRUE);

    uint8_t block[16] = {'a', 'b', 'c'};
    uint8_t cipher[16];
    uint8_t plain[16];
    twofish::cipherInstance instance;
    ASSERT_EQ(twofish::cipherInit(&instance, twofish::MODE_ECB, nullptr), twofish::TRUE);
    ASSERT_EQ(twofish::blockEncrypt(&instance, &encryptKey, block, 128, cipher), 128);
    ASSERT_EQ(twofish::blockDecrypt(&instance, &decryptKey, cipher, 128, plain), 128);
    EXPECT_EQ(toHex(plain, 16), toHex(block, 16));
    EXPECT_EQ(encryptKey.direction, twofish::DIR_ENCRYPT);
    EXPECT_EQ(decryptKey.direction, twofish::DIR_DECRYPT);
}

} // namespace
