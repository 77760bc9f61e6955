// SPDX-License-Identifier: GPL-3.0-or-later
// Suggested passphrases (the word list, the unbiased draw, Use These Words) and the strength estimate's
// thresholds and words.
#include "ui/PassphraseSuggestion.h"

#include "engine/Cryptor.h"
#include "tests/ui/delegate_fixture.h"
#include "tests/ui/ui_test_support.h"
#include "ui/MySecureTextField.h"
#include "ui/Preferences.h"
#include "ui/StrengthEstimate.h"
#include "ui/SuggestionDialog.h"

#include <QAction>
#include <QClipboard>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include <cmath>
#include <cstring>
#include <deque>

class PassphraseSuggestionTest : public QObject, public uitest::DelegateFixture {
    Q_OBJECT

private slots:
    void initTestCase() { setUpSettings(); }
    void init() { startTest(); }
    void cleanup() { endTest(); }

    void theListHas7776UniqueWords();
    void sixWordsAreDrawnFromTheList();
    void drawsAboveTheLastWholeMultipleAreDrawnAgain();
    void aFailingSourceGivesNoWords();
    void theStatedStrengthIsTheListsExactEntropy();
    void theWarningStartsBelowTenThousandYears_data();
    void theWarningStartsBelowTenThousandYears();
    void theEstimateIsOfTheBytesThatKeyAFile();
    void timesAreGivenInPlainWords_data();
    void timesAreGivenInPlainWords();
    void useTheseWordsFillsOnlyThePassphraseField();
    void noSuggestionDuringARun();
};

void PassphraseSuggestionTest::theListHas7776UniqueWords() {
    const QStringList& words = PassphraseSuggestion::wordList();
    QCOMPARE(words.size(), PassphraseSuggestion::kListSize);
    QCOMPARE(QSet<QString>(words.begin(), words.end()).size(), PassphraseSuggestion::kListSize);
    const QRegularExpression word("^[a-z]+(-[a-z]+)*$");
    for (const QString& entry : words) {
        QVERIFY2(word.match(entry).hasMatch(), qPrintable(entry));
    }
    QCOMPARE(words.first(), QString("abacus"));
    QCOMPARE(words.last(), QString("zoom"));
}

void PassphraseSuggestionTest::sixWordsAreDrawnFromTheList() {
    const QStringList& list = PassphraseSuggestion::wordList();
    const std::optional<QStringList> words = PassphraseSuggestion::draw();
    QVERIFY(words.has_value());
    QCOMPARE(words->size(), 6);
    for (const QString& word : *words) {
        QVERIFY2(list.contains(word), qPrintable(word));
    }
}

void PassphraseSuggestionTest::drawsAboveTheLastWholeMultipleAreDrawnAgain() {
    constexpr uint32_t kBound = PassphraseSuggestion::kListSize;
    constexpr uint64_t kRange = uint64_t{1} << 32;
    const auto limit = static_cast<uint32_t>(kRange - kRange % kBound);
    // Every value from `limit` on would make the first 2^32 mod 7,776 words more likely.
    std::deque<uint32_t> values{0xFFFFFFFFu, limit, limit - 1, 0xFFFFFFFFu, kBound + 5};
    int draws = 0;
    const PassphraseSuggestion::RandomBytes source = [&](void* dest, std::size_t length) {
        if (length != sizeof(uint32_t) || values.empty()) {
            return false;
        }
        std::memcpy(dest, &values.front(), length);
        values.pop_front();
        ++draws;
        return true;
    };
    QCOMPARE(PassphraseSuggestion::uniformBelow(kBound, source),
             std::optional<uint32_t>((limit - 1) % kBound));
    QCOMPARE(draws, 3);
    QCOMPARE(PassphraseSuggestion::uniformBelow(kBound, source), std::optional<uint32_t>(5));
    QCOMPARE(draws, 5);
}

void PassphraseSuggestionTest::aFailingSourceGivesNoWords() {
    int calls = 0;
    const PassphraseSuggestion::RandomBytes failing = [&](void*, std::size_t) { return ++calls < 4; };
    QVERIFY(!PassphraseSuggestion::draw(failing).has_value());
    QCOMPARE(calls, 4);
}

void PassphraseSuggestionTest::theStatedStrengthIsTheListsExactEntropy() {
    const double exact = PassphraseSuggestion::kWords * std::log2(double(PassphraseSuggestion::kListSize));
    QVERIFY(exact >= PassphraseSuggestion::kBits && exact < PassphraseSuggestion::kBits + 0.1);
    QVERIFY(!StrengthEstimate(PassphraseSuggestion::kBits).isWeak());
}

void PassphraseSuggestionTest::theWarningStartsBelowTenThousandYears_data() {
    QTest::addColumn<double>("bits");
    QTest::addColumn<bool>("weak");
    // 2^bits / 10^10 s = 10^4 years at 71.42 bits.
    QTest::newRow("nothing") << 0.0 << true;
    QTest::newRow("71.4 bits") << 71.4 << true;
    QTest::newRow("71.45 bits") << 71.45 << false;
    QTest::newRow("80 bits") << 80.0 << false;
}

void PassphraseSuggestionTest::theWarningStartsBelowTenThousandYears() {
    QFETCH(double, bits);
    QFETCH(bool, weak);
    const StrengthEstimate estimate(bits);
    QCOMPARE(estimate.isWeak(), weak);
    QCOMPARE(estimate.verdict().startsWith("Weak passphrase"), weak);
    QCOMPARE(estimate.seconds(), std::exp2(bits) / 1e10);
}

void PassphraseSuggestionTest::theEstimateIsOfTheBytesThatKeyAFile() {
    QVERIFY(StrengthEstimate::of("a").isWeak());
    QVERIFY(!StrengthEstimate::of(uitest::kStrongPassphrase).isWeak());
    // Only as many UTF-8 bytes as the text has UTF-16 units are hashed: of ten two-byte characters, the
    // first five. Two such texts that differ only after those bytes give the same key, and the same estimate.
    const QString first = QString::fromUtf8("ěščřžýáíéů");
    const QString second = QString::fromUtf8("ěščřžqwxyz");
    QCOMPARE(first.toUtf8().left(first.size()), second.toUtf8().left(second.size()));
    QCOMPARE(StrengthEstimate::of(first).bits(), StrengthEstimate::of(second).bits());
}

void PassphraseSuggestionTest::timesAreGivenInPlainWords_data() {
    QTest::addColumn<double>("seconds");
    QTest::addColumn<QString>("words");
    constexpr double kYear = StrengthEstimate::kSecondsPerYear;
    QTest::newRow("instant") << 0.4 << "less than a second";
    QTest::newRow("one second") << 1.2 << "about 1 second";
    QTest::newRow("minutes") << 150.0 << "about 3 minutes";
    QTest::newRow("hours") << 5.0 * 3600 << "about 5 hours";
    QTest::newRow("days") << 40.0 * 86400 << "about 40 days";
    QTest::newRow("years") << 12.0 * kYear << "about 12 years";
    QTest::newRow("thousands of years") << 9500.0 * kYear << "about 10 thousand years";
    QTest::newRow("millions of years") << 2.4e6 * kYear << "about 2 million years";
    QTest::newRow("beyond") << 3e9 * kYear << "more than a billion years";
}

void PassphraseSuggestionTest::timesAreGivenInPlainWords() {
    QFETCH(double, seconds);
    QFETCH(QString, words);
    QCOMPARE(StrengthEstimate::durationInWords(seconds), words);
}

void PassphraseSuggestionTest::useTheseWordsFillsOnlyThePassphraseField() {
    QGuiApplication::clipboard()->setText("on the clipboard before");
    auto* field = find<MySecureTextField>("passPhraseField");
    QTest::keyClicks(field, "old");
    find<QAction>("suggestPassphraseAction")->trigger();
    auto* dialog = find<SuggestionDialog>("suggestionDialog");
    QTRY_VERIFY(dialog->isVisible());
    QVERIFY(dialog->findChild<QLabel*>("suggestionStrengthLabel")->text().contains("77.5 bits"));
    QVERIFY(dialog->findChild<QLabel*>("writeDownLabel")->text().startsWith("Write these words down"));
    const QString shown = dialog->wordsLabel()->text();
    QCOMPARE(shown.split(' ').size(), 6);
    dialog->otherWordsButton()->click();
    const QString words = dialog->wordsLabel()->text();
    QCOMPARE(words.split(' ').size(), 6);

    dialog->useButton()->click();
    QVERIFY(!dialog->isVisible());
    QCOMPARE(field->hiddenStringValue(), words);
    QVERIFY(!field->text().contains(words.split(' ').first()));
    QVERIFY(find<MySecureTextField>("confirmationField")->hiddenStringValue().isEmpty());
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("on the clipboard before"));
    QVERIFY(dialog->wordsLabel()->text().isEmpty());
}

// The end of a run empties the passphrase field, so words put there meanwhile would be lost.
void PassphraseSuggestionTest::noSuggestionDuringARun() {
    setReEnterPassphrase(false);
    uitest::RunGate gate;
    for (int i = 0; i < uitest::RunGate::filesToHoldARun(); ++i) {
        addFile(QString("f%1").arg(i),
                uitest::sampleContent(uitest::RunGate::kUnbatchedFileSize, unsigned(i)));
    }
    auto* suggest = find<QAction>("suggestPassphraseAction");
    QVERIFY(suggest->isEnabled());
    QTest::keyClicks(find<MySecureTextField>("passPhraseField"), uitest::kStrongPassphrase);
    m_delegate->encrypt();
    QVERIFY(m_delegate->cryptor().isBusy());
    QVERIFY(!suggest->isEnabled());
    gate.release();
    QTRY_VERIFY_WITH_TIMEOUT(!m_delegate->cryptor().isBusy() && suggest->isEnabled(), 60000);
}

QTEST_MAIN(PassphraseSuggestionTest)
#include "passphrase_suggestion_test.moc"
