// SPDX-License-Identifier: GPL-3.0-or-later
// A passphrase's NFC and NFD forms: what they are, which keys a decryption carries, and that a file
// encrypted with one form of a passphrase decrypts when another is typed, with a note naming the form.
#include "engine/PassphraseForms.h"

#include "crypto/passphrase_key.h"
#include "engine/Cryptor.h"
#include "engine/LogMessages.h"
#include "engine/PassphraseCheck.h"
#include "engine/ReasonCode.h"
#include "engine/RunKeys.h"
#include "engine/StatusCode.h"
#include "tests/engine/operation_fixture.h"
#include "tests/support/temp_dir.h"
#include "tests/support/vector_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

namespace {

using engine::PassphraseForm;
using testsupport::readFile;
namespace fs = std::filesystem;

struct FormsCase {
    std::string where;
    std::u16string typed;
    std::u16string nfc;
    std::u16string nfd;
    std::vector<PassphraseForm> carried;

    std::u16string textOf(PassphraseForm form) const {
        return form == PassphraseForm::Nfc ? nfc : form == PassphraseForm::Nfd ? nfd : typed;
    }
};

std::u16string unitsFrom(const std::vector<uint8_t>& bigEndianPairs, uint64_t repeat) {
    std::u16string once;
    for (size_t i = 0; i + 1 < bigEndianPairs.size(); i += 2) {
        once += static_cast<char16_t>(bigEndianPairs[i] << 8 | bigEndianPairs[i + 1]);
    }
    std::u16string units;
    for (uint64_t i = 0; i < repeat; ++i) {
        units += once;
    }
    return units;
}

std::vector<PassphraseForm> formsFrom(const std::string& names) {
    std::vector<PassphraseForm> forms;
    for (size_t at = 0; at < names.size();) {
        const size_t end = std::min(names.find(' ', at), names.size());
        const std::string name = names.substr(at, end - at);
        EXPECT_TRUE(name == "Typed" || name == "Nfc" || name == "Nfd") << name;
        forms.push_back(name == "Nfc"   ? PassphraseForm::Nfc
                        : name == "Nfd" ? PassphraseForm::Nfd
                                        : PassphraseForm::Typed);
        at = end + 1;
    }
    return forms;
}

std::vector<FormsCase> formsCases() {
    std::vector<FormsCase> cases;
    for (const auto& record : testsupport::readVectorFile("passphrase_forms.vec")) {
        const uint64_t repeat = record.has("Repeat") ? record.number("Repeat") : 1;
        cases.push_back({record.where(), unitsFrom(record.bytes("Units"), repeat),
                         unitsFrom(record.bytes("Nfc"), repeat), unitsFrom(record.bytes("Nfd"), repeat),
                         formsFrom(record.text("Carried"))});
    }
    EXPECT_FALSE(cases.empty());
    return cases;
}

constexpr std::array kAllForms = {PassphraseForm::Typed, PassphraseForm::Nfc, PassphraseForm::Nfd};

bool usable(std::u16string_view text) {
    return text.size() <= passphrase::kMaxLength;
}

std::string digestOf(std::u16string_view text) {
    uint8_t digest[passphrase::kDigestSize];
    EXPECT_EQ(passphrase::digest(text, digest), passphrase::Result::Ok);
    return testsupport::toHex(digest, sizeof digest);
}

bool sameKey(const twofish::keyInstance& a, const twofish::keyInstance& b) {
    return std::memcmp(a.key32, b.key32, sizeof a.key32) == 0 &&
           std::memcmp(a.subKeys, b.subKeys, sizeof a.subKeys) == 0 &&
           std::memcmp(a.sBox8x32, b.sBox8x32, sizeof a.sBox8x32) == 0;
}

TEST(PassphraseFormsTest, NormalizesAsTheCharacterDatabaseSays) {
    for (const FormsCase& c : formsCases()) {
        SCOPED_TRACE(c.where);
        for (const PassphraseForm form : kAllForms) {
            SCOPED_TRACE(static_cast<int>(form));
            const std::u16string expected = c.textOf(form);
            char16_t out[passphrase::kMaxLength];
            const auto length = engine::normalizedForm(c.typed, form, out);
            if (!usable(expected)) {
                EXPECT_EQ(length, std::nullopt) << "a form too long to key a file does not fit";
                continue;
            }
            ASSERT_TRUE(length.has_value());
            EXPECT_EQ(std::u16string(out, *length), expected);
        }
    }
}

TEST(PassphraseFormsTest, WhatCannotBeNormalizedLeavesTheOutputWiped) {
    struct Refused {
        std::u16string text;
        size_t room;
    };
    const std::vector<Refused> cases = {
        {u"a\xD800", 8}, // unpaired high surrogate
        {u"\xDC00"
         u"a",
         8},                                                      // unpaired low surrogate
        {std::u16string(passphrase::kMaxLength + 1, u'a'), 1024}, // longer than any passphrase
        {u"\u00e9\u00e9\u00e9\u00e9\u00e9", 8},                   // NFD needs 10 units
    };
    for (const Refused& c : cases) {
        std::vector<char16_t> out(c.room, u'x');
        EXPECT_EQ(engine::normalizedForm(c.text, PassphraseForm::Nfd, out), std::nullopt);
        EXPECT_TRUE(std::all_of(out.begin(), out.end(), [](char16_t unit) { return unit == 0; }));
    }
}

TEST(RunKeysTest, ADecryptionCarriesEachDistinctKeyOnceTypedFirst) {
    for (const FormsCase& c : formsCases()) {
        SCOPED_TRACE(c.where);
        std::string refusal;
        const auto keys = engine::RunKeys::forPassphrase(c.typed, twofish::DIR_DECRYPT, &refusal);
        ASSERT_NE(keys, nullptr) << refusal;
        std::vector<PassphraseForm> carried;
        for (size_t i = 0; i < keys->count(); ++i) {
            carried.push_back(keys->form(i));
            EXPECT_TRUE(
                sameKey(keys->key(i), enginetest::keyFor(c.textOf(keys->form(i)), twofish::DIR_DECRYPT)));
        }
        EXPECT_EQ(carried, c.carried);
        EXPECT_EQ(keys->direction(), twofish::DIR_DECRYPT);
    }
}

TEST(RunKeysTest, AnEncryptionCarriesTheTypedFormAlone) {
    for (const FormsCase& c : formsCases()) {
        SCOPED_TRACE(c.where);
        std::string refusal;
        const auto keys = engine::RunKeys::forPassphrase(c.typed, twofish::DIR_ENCRYPT, &refusal);
        ASSERT_NE(keys, nullptr) << refusal;
        ASSERT_EQ(keys->count(), 1u);
        EXPECT_EQ(keys->form(0), PassphraseForm::Typed);
        EXPECT_TRUE(sameKey(keys->key(0), enginetest::keyFor(c.typed, twofish::DIR_ENCRYPT)));
    }
}

TEST(RunKeysTest, ATypedFormThatCannotKeyIsRefusedWhateverItsOtherForms) {
    // The NFC form of 255 decomposed units would fit, but the typed form decides.
    std::u16string longDecomposed;
    for (size_t i = 0; i < 85; ++i) {
        longDecomposed += u"e\u0301a";
    }
    const std::vector<std::pair<std::u16string, passphrase::Result>> cases = {
        {u"caf\u00e9\xD800", passphrase::Result::NoUtf8Form},
        {longDecomposed, passphrase::Result::TooLong},
    };
    for (const auto& [text, why] : cases) {
        std::string refusal;
        EXPECT_EQ(engine::RunKeys::forPassphrase(text, twofish::DIR_DECRYPT, &refusal), nullptr);
        EXPECT_EQ(refusal, passphrase::describe(why));
    }
}

// The form of `typed` whose key is `encryptedWith`'s, in the order a decryption tries them; none when no
// form of it opens the file. From the vectors' forms and the digest alone.
std::optional<PassphraseForm> expectedForm(const FormsCase& c, const std::u16string& typed,
                                           const std::u16string& encryptedWith) {
    const std::array<std::u16string, 3> tried = {typed, c.nfc, c.nfd};
    for (size_t i = 0; i < tried.size(); ++i) {
        if (usable(tried[i]) && digestOf(tried[i]) == digestOf(encryptedWith)) {
            return kAllForms[i];
        }
    }
    return std::nullopt;
}

class PassphraseFormRunTest : public ::testing::Test {
protected:
    // Runs the Cryptor over the files with the passphrase; every row must have reported.
    std::unique_ptr<engine::Cryptor> run(const std::vector<fs::path>& files, std::u16string_view passphrase,
                                         bool encrypt) {
        auto cryptor = std::make_unique<engine::Cryptor>();
        cryptor->addURLs(files);
        const auto refusal = encrypt ? cryptor->encryptFilesUsingPassPhrase(passphrase)
                                     : cryptor->decryptFilesUsingPassPhrase(passphrase);
        EXPECT_EQ(refusal, std::nullopt);
        cryptor->waitUntilAllOperationsAreFinished();
        return cryptor;
    }

    testsupport::TempDir m_dir;
};

// Every form of every passphrase in the table encrypts (as typed), and every form decrypts it: through the
// first form whose key matches, named in the row's note, or not at all, leaving the file as it was.
TEST_F(PassphraseFormRunTest, EachFormTypedOpensWhatAnyFormEncryptedAndTheNoteNamesIt) {
    int caseNumber = 0;
    for (const FormsCase& c : formsCases()) {
        SCOPED_TRACE(c.where);
        std::vector<std::u16string> texts;
        for (const auto& text : {c.typed, c.nfc, c.nfd}) {
            if (usable(text) && std::find(texts.begin(), texts.end(), text) == texts.end()) {
                texts.push_back(text);
            }
        }
        // files[e][d]: encrypted with texts[e], decrypted with texts[d].
        std::vector<std::vector<fs::path>> files(texts.size());
        const auto plainOf = [&](size_t e, size_t d) {
            return testsupport::sampleBytes(37 + 100 * e + 10 * d, static_cast<uint32_t>(caseNumber));
        };
        for (size_t e = 0; e < texts.size(); ++e) {
            std::vector<fs::path> plain;
            for (size_t d = 0; d < texts.size(); ++d) {
                const std::string name =
                    std::to_string(caseNumber) + "-" + std::to_string(e) + std::to_string(d);
                plain.push_back(m_dir.writeFile(name, plainOf(e, d)));
                files[e].push_back(fs::path(plain.back()) += ".brisklet");
            }
            const auto encryption = run(plain, texts[e], true);
            for (size_t d = 0; d < texts.size(); ++d) {
                ASSERT_EQ(encryption->statusOnRow(static_cast<int64_t>(d)), engine::StatusDone);
                // Encrypted with the form typed, unchanged.
                EXPECT_EQ(enginetest::decryptFormat(readFile(files[e][d]),
                                                    enginetest::keyFor(texts[e], twofish::DIR_DECRYPT)),
                          plainOf(e, d));
            }
        }
        for (size_t d = 0; d < texts.size(); ++d) {
            std::vector<fs::path> these;
            std::vector<std::vector<uint8_t>> before;
            for (size_t e = 0; e < texts.size(); ++e) {
                these.push_back(files[e][d]);
                before.push_back(readFile(files[e][d]));
            }
            // A check answers as the decryption will.
            const auto keys = enginetest::runKeyFor(texts[d], twofish::DIR_DECRYPT);
            for (size_t e = 0; e < texts.size(); ++e) {
                const auto form = expectedForm(c, texts[d], texts[e]);
                const engine::CheckResult check = engine::checkFile(these[e], *keys);
                EXPECT_EQ(check.outcome,
                          form ? engine::CheckOutcome::Opens : engine::CheckOutcome::WrongPassphrase);
                EXPECT_EQ(check.form, form.value_or(PassphraseForm::Typed));
            }
            const auto decryption = run(these, texts[d], false);
            for (size_t e = 0; e < texts.size(); ++e) {
                SCOPED_TRACE("encrypted with text " + std::to_string(e) + ", typed text " +
                             std::to_string(d));
                const auto row = static_cast<int64_t>(e);
                const auto form = expectedForm(c, texts[d], texts[e]);
                if (!form) {
                    EXPECT_EQ(decryption->statusOnRow(row), engine::StatusFailed);
                    EXPECT_EQ(decryption->failureReasonOnRow(row), engine::logmsg::kPassphraseMightBeWrong);
                    EXPECT_EQ(readFile(these[e]), before[e]);
                    continue;
                }
                ASSERT_EQ(decryption->statusOnRow(row), engine::StatusDone);
                EXPECT_EQ(readFile(fs::path(these[e]).replace_extension()), plainOf(e, d));
                const std::string_view note = engine::openedWithNote(*form);
                EXPECT_EQ(decryption->failureReasonOnRow(row), note);
                EXPECT_EQ(decryption->reasonCodesOnRow(row),
                          note.empty() ? std::vector<engine::Reason>{}
                                       : std::vector<engine::Reason>{engine::reasonOf(note)});
            }
        }
        ++caseNumber;
    }
}

TEST_F(PassphraseFormRunTest, AWrongPassphraseInEveryFormLeavesTheFileUntouched) {
    const fs::path plain = m_dir.writeFile("letter", testsupport::sampleBytes(1000));
    run({plain}, u"caf\u00e9", true);
    const fs::path encrypted = fs::path(plain) += ".brisklet";
    const auto before = readFile(encrypted);
    const auto namesBefore = m_dir.names();
    // Each with two forms, whose keys all differ from the file's. ("caf\u00e8" would open it: only "caf" and
    // the first byte of the accented letter are hashed, and that byte is the same.)
    for (const std::u16string_view wrong : {u"kafe\u0301", u"kaf\u00e9", u"cafe"}) {
        const auto keys = enginetest::runKeyFor(wrong, twofish::DIR_DECRYPT);
        EXPECT_EQ(engine::checkFile(encrypted, *keys).outcome, engine::CheckOutcome::WrongPassphrase);
        const auto decryption = run({encrypted}, wrong, false);
        EXPECT_EQ(decryption->statusOnRow(0), engine::StatusFailed);
        EXPECT_EQ(decryption->reasonCodesOnRow(0),
                  (std::vector<engine::Reason>{{engine::ReasonCode::WrongPassphrase, ""}}));
        EXPECT_EQ(readFile(encrypted), before);
        EXPECT_EQ(m_dir.names(), namesBefore) << "no journal, no plain file";
    }
}

TEST_F(PassphraseFormRunTest, ACheckNamesTheFormThatOpens) {
    const fs::path plain = m_dir.writeFile("letter", testsupport::sampleBytes(100));
    run({plain}, u"\ud55c\uae00", true);
    const fs::path encrypted = fs::path(plain) += ".brisklet";
    const std::vector<std::pair<std::u16string, PassphraseForm>> cases = {
        {u"\ud55c\uae00", PassphraseForm::Typed},
        {u"\u1112\u1161\u11ab\u1100\u1173\u11af", PassphraseForm::Nfc},
        // Composed and conjoining syllables mixed: its NFC form is the one that opens.
        {u"\ud55c\u1100\u1173\u11af", PassphraseForm::Nfc},
    };
    for (const auto& [typed, form] : cases) {
        const auto result = engine::checkFile(encrypted, *enginetest::runKeyFor(typed, twofish::DIR_DECRYPT));
        EXPECT_EQ(result.outcome, engine::CheckOutcome::Opens);
        EXPECT_EQ(result.form, form);
    }
}

} // namespace
