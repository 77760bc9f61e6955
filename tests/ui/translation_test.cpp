// SPDX-License-Identifier: GPL-3.0-or-later
// The window in the user's language: menus and buttons, Qt's standard buttons, plural forms and the words
// of each reason code; a language without a catalogue reads English.
#include "tests/ui/delegate_fixture.h"
#include "ui/RunProgress.h"
#include "ui/StatusText.h"
#include "ui/Translations.h"

#include "engine/ReasonCode.h"
#include "engine/StatusCode.h"

#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

#include <memory>

namespace {

// What a language's catalogue gives a few of the window's words, Qt's Cancel among them.
struct Words {
    QString fileMenu;
    QString encryptButton;
    QString cancel;
    QString readOnlyRow;    // a reason code without a detail
    QString targetTakenRow; // one whose detail is a name: "a.txt.brisklet"
    QString progress;       // 1 of 3 files
    QString oneFileProgress;
};

Words wordsOf(const QString& language) {
    if (language == QLatin1String("de")) {
        return {"&Datei",
                "&Verschlüsseln",
                "Abbrechen",
                "Schreibgeschützt — unverändert",
                "a.txt.brisklet existiert bereits — unverändert",
                "1 von 3 Dateien",
                "0 von 1 Datei"};
    }
    if (language == QLatin1String("fr")) {
        return {"&Fichier",
                "&Chiffrer",
                "Annuler",
                "En lecture seule — inchangé",
                "a.txt.brisklet existe déjà — inchangé",
                "1 sur 3 fichiers",
                "0 sur 1 fichier"};
    }
    if (language == QLatin1String("es")) {
        return {"&Archivo",
                "&Cifrar",
                "Cancelar",
                "De solo lectura — sin cambios",
                "a.txt.brisklet ya existe — sin cambios",
                "1 de 3 archivos",
                "0 de 1 archivo"};
    }
    return {"&File",
            "E&ncrypt",
            "Cancel",
            "Read-only — unchanged",
            "a.txt.brisklet already exists — unchanged",
            "1 of 3 files",
            "0 of 1 file"};
}

QString failedRow(engine::ReasonCode code, const std::string& detail) {
    RowStatus status;
    status.code = engine::StatusFailed;
    status.direction = RunDirection::Encrypt;
    status.fileName = QStringLiteral("a.txt");
    status.reasons = {{code, detail}};
    return statusText(status);
}

QString progressText(uint64_t done, uint64_t total) {
    engine::Cryptor::RunProgress progress{};
    progress.filesDone = done;
    progress.filesTotal = total;
    return runProgressFigures(progress).filesText;
}

} // namespace

class TranslationTest : public QObject, public uitest::DelegateFixture {
    Q_OBJECT

private slots:
    void initTestCase() { setUpSettings(); }
    void cleanup() {
        endTest();
        m_translations.reset();
    }
    void followsTheSystemLocale();
    void eachLanguageTranslatesTheWindow_data();
    void eachLanguageTranslatesTheWindow();

private:
    // Checks the window made after `language`'s catalogues were installed.
    void expectWindowIn(const QString& language);

    std::unique_ptr<Translations> m_translations;
};

void TranslationTest::expectWindowIn(const QString& language) {
    const Words words = wordsOf(language);
    startTest();
    QCOMPARE(find<QMenu>("fileMenu")->title(), words.fileMenu);
    QCOMPARE(button("encryptButton")->text(), words.encryptButton);
    QCOMPARE(button("confirmCancelButton")->text().remove(QLatin1Char('&')), words.cancel);
    QCOMPARE(failedRow(engine::ReasonCode::ReadOnly, ""), words.readOnlyRow);
    QCOMPARE(failedRow(engine::ReasonCode::TargetExists, "a.txt.brisklet"), words.targetTakenRow);
    QCOMPARE(progressText(1, 3), words.progress);
    QCOMPARE(progressText(0, 1), words.oneFileProgress);
}

// Run by ctest with LANG set as a session sets it (tests/CMakeLists.txt), and nothing else: Qt reads the
// language from the environment itself, so it does not matter whether the system has the locale generated.
void TranslationTest::followsTheSystemLocale() {
    const QString expected = qEnvironmentVariable("BRISKLET_EXPECTED_LANGUAGE");
    if (expected.isEmpty()) {
        QSKIP("run with LANG and BRISKLET_EXPECTED_LANGUAGE set, as ctest does");
    }
    const QString language = expected == QLatin1String("xx") ? QStringLiteral("en") : expected;
    m_translations = std::make_unique<Translations>();
    QCOMPARE(m_translations->install(), language);
    expectWindowIn(language);
}

void TranslationTest::eachLanguageTranslatesTheWindow_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("language");
    QTest::newRow("German") << "de_DE"
                            << "de";
    QTest::newRow("Austrian German") << "de_AT"
                                     << "de";
    QTest::newRow("French") << "fr_FR"
                            << "fr";
    QTest::newRow("Canadian French") << "fr_CA"
                                     << "fr";
    QTest::newRow("Spanish") << "es_ES"
                             << "es";
    QTest::newRow("Mexican Spanish") << "es_MX"
                                     << "es";
    QTest::newRow("English") << "en_GB"
                             << "en";
    QTest::newRow("a language without a catalogue") << "ja_JP"
                                                    << "en";
}

void TranslationTest::eachLanguageTranslatesTheWindow() {
    QFETCH(QString, locale);
    QFETCH(QString, language);
    m_translations = std::make_unique<Translations>();
    QCOMPARE(m_translations->install(QLocale(locale)), language);
    expectWindowIn(language);
}

QTEST_MAIN(TranslationTest)
#include "translation_test.moc"
