// SPDX-License-Identifier: GPL-3.0-or-later
// The controller with its window: the remove buttons, the field editor, menus and keys, preferences, and
// closing windows.
#include "ui/BriskletAppDelegate.h"

#include "engine/Cryptor.h"
#include "tests/ui/delegate_fixture.h"
#include "tests/ui/ui_test_support.h"
#include "ui/ColorFeedbackView.h"
#include "ui/ConfirmationSheet.h"
#include "ui/MainWindow.h"
#include "ui/MySecureFieldEditor.h"
#include "ui/MySecureTextField.h"
#include "ui/Preferences.h"
#include "ui/PreferencesSheet.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QTableView>
#include <QTableWidget>
#include <QTest>
#include <QTimer>

class AppDelegateTest : public QObject, public uitest::DelegateFixture {
    Q_OBJECT

private slots:
    void initTestCase() { setUpSettings(); }
    void init() { startTest(); }
    void cleanup() { endTest(); }

    void selectionDecidesRemoveSelected();
    void removingTheLastSelectedRowsDisablesRemoveAll();
    void removeAllDisablesEveryRemoveButton();
    void secureFieldsShareOneEditor();
    void menuCommandsHaveTheirShortcuts();
    void encryptShortcutIsNotClaimedByThePassphraseField_data();
    void encryptShortcutIsNotClaimedByThePassphraseField();
    void preferencesSheetShowsAndStoresBothValues_data();
    void preferencesSheetShowsAndStoresBothValues();
    void preferencesSheetCancelDiscardsEdits_data();
    void preferencesSheetCancelDiscardsEdits();
    void runButtonsNeedFilesAndAPassphrase_data();
    void runButtonsNeedFilesAndAPassphrase();
    void closingTheMainWindowEndsTheApplicationClosingSheetsDoesNot();
    void theColourBarsAreDescribedWithoutTheirColours();
    void theWindowsSizeIsNotRemembered();
    void helpShowsAboutAndEveryShortcut_data();
    void helpShowsAboutAndEveryShortcut();
};

void AppDelegateTest::selectionDecidesRemoveSelected() {
    auto* removeSelected = button("removeSelectedButton");
    for (const char* name : {"a", "b", "c"}) {
        addFile(name, name);
    }
    QVERIFY(!removeSelected->isEnabled());
    table()->selectRow(1);
    QVERIFY(removeSelected->isEnabled());
    // Rows added meanwhile keep the selection, and with it the button.
    addFile("d", "d");
    QVERIFY(table()->selectionModel()->isRowSelected(1, QModelIndex()));
    QVERIFY(removeSelected->isEnabled());
    table()->clearSelection();
    QVERIFY(!removeSelected->isEnabled());
}

void AppDelegateTest::removingTheLastSelectedRowsDisablesRemoveAll() {
    for (const char* name : {"a", "b", "c"}) {
        addFile(name, name);
    }
    auto* removeAll = button("removeAllButton");
    auto* removeSelected = button("removeSelectedButton");

    table()->selectRow(1);
    removeSelected->click();
    QCOMPARE(rows(), QStringList({"a", "c"}));
    QVERIFY(removeAll->isEnabled());
    QVERIFY(!removeSelected->isEnabled());

    table()->selectAll();
    removeSelected->click();
    QCOMPARE(table()->model()->rowCount(), 0);
    QVERIFY(!removeAll->isEnabled());
    QVERIFY(!removeSelected->isEnabled());
}

void AppDelegateTest::removeAllDisablesEveryRemoveButton() {
    addFile("a", "a");
    addFile("b", "b");
    table()->selectRow(0);
    button("removeOKsButton")->setEnabled(true);
    button("removeAllButton")->click();
    QCOMPARE(table()->model()->rowCount(), 0);
    for (const char* name : {"removeAllButton", "removeOKsButton", "removeSelectedButton"}) {
        QVERIFY2(!button(name)->isEnabled(), name);
    }
}

void AppDelegateTest::secureFieldsShareOneEditor() {
    auto* passPhrase = find<MySecureTextField>("passPhraseField");
    auto* confirmation = find<MySecureTextField>("confirmationField");
    QVERIFY(passPhrase->fieldEditor() != nullptr);
    QCOMPARE(confirmation->fieldEditor(), passPhrase->fieldEditor());
    QCOMPARE(m_delegate->windowWillReturnFieldEditor(m_delegate->confirmationSheet(), confirmation),
             passPhrase->fieldEditor());
    QLineEdit plain;
    QCOMPARE(m_delegate->windowWillReturnFieldEditor(m_delegate->window(), &plain), nullptr);
}

void AppDelegateTest::menuCommandsHaveTheirShortcuts() {
    QCOMPARE(find<QAction>("encryptAction")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_E));
    QCOMPARE(find<QAction>("decryptAction")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_D));
    QCOMPARE(find<QAction>("checkAction")->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_K));
    QCOMPARE(find<QAction>("stopAction")->shortcut(), QKeySequence(Qt::Key_Escape));
    const QList<QKeySequence> open = QKeySequence::keyBindings(QKeySequence::Open);
    QCOMPARE(find<QAction>("openAction")->shortcuts(),
             open.isEmpty() ? QList<QKeySequence>{QKeySequence(Qt::CTRL | Qt::Key_O)} : open);
    QVERIFY(!find<QAction>("quitAction")->shortcut().isEmpty());
    QVERIFY(!find<QAction>("preferencesAction")->shortcut().isEmpty());
}

void AppDelegateTest::encryptShortcutIsNotClaimedByThePassphraseField_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("reEnter");
    QTest::addColumn<bool>("sheetOpens");
    QTest::addColumn<bool>("runs");
    QTest::newRow("Ctrl+E asks for the passphrase again") << int(Qt::Key_E) << true << true << false;
    QTest::newRow("Ctrl+E encrypts at once") << int(Qt::Key_E) << false << false << true;
    QTest::newRow("Ctrl+D decrypts") << int(Qt::Key_D) << true << false << true;
    QTest::newRow("Ctrl+K checks") << int(Qt::Key_K) << true << false << true;
}

void AppDelegateTest::encryptShortcutIsNotClaimedByThePassphraseField() {
    QFETCH(int, key);
    QFETCH(bool, reEnter);
    QFETCH(bool, sheetOpens);
    QFETCH(bool, runs);
    setReEnterPassphrase(reEnter);
    uitest::RunGate gate;
    for (int i = 0; i < uitest::RunGate::filesToHoldARun(); ++i) {
        addFile(QString("f%1").arg(i),
                uitest::sampleContent(uitest::RunGate::kUnbatchedFileSize, unsigned(i)));
    }
    MainWindow* window = m_delegate->window();
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    auto* field = find<MySecureTextField>("passPhraseField");
    field->setFocus();
    QTest::keyClicks(field, uitest::kStrongPassphrase);

    // The field is asked first whether it wants the key for editing; it must not.
    QKeyEvent override(QEvent::ShortcutOverride, key, Qt::ControlModifier);
    override.setAccepted(false);
    QCoreApplication::sendEvent(field, &override);
    QVERIFY(!override.isAccepted());

    QTest::keyClick(field, Qt::Key(key), Qt::ControlModifier);
    QTRY_COMPARE(m_delegate->confirmationSheet()->isVisible(), sheetOpens);
    // A check is a run of the window's own, not of the engine.
    QCOMPARE(m_delegate->cryptor().isBusy(), runs && key != Qt::Key_K);
    QCOMPARE(find<QProgressBar>("progressWheel")->isVisible(), runs);
    gate.release();
    QTRY_VERIFY_WITH_TIMEOUT(
        !m_delegate->cryptor().isBusy() && find<QProgressBar>("progressWheel")->isHidden(), 30000);
    if (sheetOpens) {
        m_delegate->cancelConfirmationSheet();
    }
}

void AppDelegateTest::preferencesSheetShowsAndStoresBothValues_data() {
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("checked");
    QTest::addColumn<float>("seconds");
    QTest::newRow("longer delay, ask once") << "2.5" << false << 2.5f;
    QTest::newRow("no delay, ask twice") << "0" << true << 0.0f;
    QTest::newRow("stored without bounds") << "-3" << false << -3.0f;
    QTest::newRow("no number counts as zero") << "" << true << 0.0f;
}

void AppDelegateTest::preferencesSheetShowsAndStoresBothValues() {
    QFETCH(QString, typed);
    QFETCH(bool, checked);
    QFETCH(float, seconds);
    auto* secondsField = find<QLineEdit>("secondsField");
    auto* checkBox = find<QCheckBox>("reEnterCheckBox");

    find<QAction>("preferencesAction")->trigger();
    QVERIFY(m_delegate->preferencesSheet()->isVisible());
    QCOMPARE(m_delegate->preferencesSheet()->windowModality(), Qt::WindowModal);
    QCOMPARE(secondsField->text(), QLocale().toString(1.0));
    QVERIFY(checkBox->isChecked());

    secondsField->setText(typed);
    checkBox->setChecked(checked);
    button("preferencesOKButton")->click();
    QVERIFY(!m_delegate->preferencesSheet()->isVisible());
    QCOMPARE(characterHideSeconds(), seconds);
    QCOMPARE(reEnterPassphrase(), checked);

    m_delegate->showPreferencesSheet();
    QCOMPARE(secondsField->text(), QLocale().toString(seconds));
    QCOMPARE(checkBox->isChecked(), checked);
    m_delegate->confirmPreferencesSheet();
}

void AppDelegateTest::preferencesSheetCancelDiscardsEdits_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancel button") << "button";
    QTest::newRow("Escape") << "escape";
    QTest::newRow("window closed") << "close";
}

void AppDelegateTest::preferencesSheetCancelDiscardsEdits() {
    QFETCH(QString, how);
    m_delegate->window()->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_delegate->window()));
    auto* secondsField = find<QLineEdit>("secondsField");
    auto* checkBox = find<QCheckBox>("reEnterCheckBox");
    m_delegate->showPreferencesSheet();
    PreferencesSheet* sheet = m_delegate->preferencesSheet();
    QVERIFY(QTest::qWaitForWindowExposed(sheet));
    secondsField->setText("4");
    checkBox->setChecked(false);

    if (how == "button") {
        button("preferencesCancelButton")->click();
    } else if (how == "escape") {
        QTest::keyClick(secondsField, Qt::Key_Escape);
    } else {
        sheet->close();
    }
    QTRY_VERIFY(!sheet->isVisible());
    QCOMPARE(characterHideSeconds(), 1.0f);
    QVERIFY(reEnterPassphrase());
    // Opened again, the sheet shows what is stored, not the edits that were cancelled.
    m_delegate->showPreferencesSheet();
    QCOMPARE(secondsField->text(), QLocale().toString(1.0));
    QVERIFY(checkBox->isChecked());
    button("preferencesOKButton")->click();
    QVERIFY(!sheet->isVisible());
}

void AppDelegateTest::runButtonsNeedFilesAndAPassphrase_data() {
    QTest::addColumn<bool>("withFiles");
    QTest::addColumn<QString>("passphrase");
    QTest::addColumn<QString>("hint"); // a part of the hint; empty: both commands enabled
    QTest::newRow("nothing yet") << false << ""
                                 << "Add files";
    QTest::newRow("passphrase but no files") << false << "secret"
                                             << "Add files";
    QTest::newRow("files but no passphrase") << true << ""
                                             << "Type the passphrase";
    QTest::newRow("files and a passphrase") << true << "s"
                                            << "";
}

void AppDelegateTest::runButtonsNeedFilesAndAPassphrase() {
    QFETCH(bool, withFiles);
    QFETCH(QString, passphrase);
    QFETCH(QString, hint);
    if (withFiles) {
        addFile("a", "a");
    }
    QTest::keyClicks(find<MySecureTextField>("passPhraseField"), passphrase);
    const bool enabled = hint.isEmpty();
    for (const char* name : {"encryptButton", "decryptButton"}) {
        QVERIFY2(button(name)->isEnabled() == enabled, name);
        QVERIFY2(enabled || button(name)->toolTip().contains(hint), qPrintable(button(name)->toolTip()));
    }
    for (const char* name : {"encryptAction", "decryptAction"}) {
        QVERIFY2(find<QAction>(name)->isEnabled() == enabled, name);
    }
    const QString shown = find<QLabel>("runHintLabel")->text();
    QVERIFY2(enabled ? shown.isEmpty() : shown.contains(hint), qPrintable(shown));

    // The keys of a disabled command do nothing; before, Ctrl+E opened a sheet whose OK did nothing.
    MainWindow* window = m_delegate->window();
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QTest::keyClick(find<MySecureTextField>("passPhraseField"), Qt::Key_E, Qt::ControlModifier);
    QCOMPARE(m_delegate->confirmationSheet()->isVisible(), enabled);
    if (enabled) {
        m_delegate->cancelConfirmationSheet();
    }
}

void AppDelegateTest::closingTheMainWindowEndsTheApplicationClosingSheetsDoesNot() {
    QGuiApplication::setQuitOnLastWindowClosed(false);
    MainWindow* window = m_delegate->window();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));

    bool visibleAfterSheets = false;
    QTimer::singleShot(0, window, [&] {
        m_delegate->showPreferencesSheet();
        m_delegate->confirmPreferencesSheet();
        m_delegate->confirmationSheet()->open();
        m_delegate->confirmationSheet()->close();
        QCoreApplication::processEvents();
        visibleAfterSheets = window->isVisible() && !m_delegate->confirmationSheet()->isVisible();
        window->close();
    });
    QTimer guard;
    guard.setSingleShot(true);
    connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(2); });
    guard.start(20000);
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(visibleAfterSheets);
}

// Assistive technology hears what the bars are for, and the same words whatever passphrase they show.
void AppDelegateTest::theColourBarsAreDescribedWithoutTheirColours() {
    auto* bars = find<ColorFeedbackView>("feedbackView");
    auto* field = find<MySecureTextField>("passPhraseField");
    QStringList descriptions;
    for (const char* passphrase : {"first passphrase", "another one"}) {
        field->clear();
        field->clearHiddenStringValue();
        QTest::keyClicks(field, passphrase);
        QVERIFY(!bars->isHidden());
        descriptions.append(bars->accessibleName() + '\n' + bars->accessibleDescription());
    }
    QCOMPARE(descriptions[0], descriptions[1]);
    QCOMPARE(bars->accessibleDescription(), QString("Colour check of the passphrase: four bars"));
    QVERIFY(!bars->accessibleName().isEmpty());
}

// Every start opens the window at the same size: nothing about it is stored.
void AppDelegateTest::theWindowsSizeIsNotRemembered() {
    MainWindow* window = m_delegate->window();
    window->show();
    const QSize original = window->size();
    window->resize(original + QSize(123, 45));
    m_delegate->setQuitter([] {});
    window->close();
    QCOMPARE(QSettings().allKeys(), QStringList());
    m_delegate = std::make_unique<BriskletAppDelegate>();
    m_delegate->applicationDidFinishLaunching();
    m_delegate->window()->show();
    QCOMPARE(m_delegate->window()->size(), original);
}

void AppDelegateTest::helpShowsAboutAndEveryShortcut_data() {
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("command");
    QTest::newRow("add") << "openAction"
                         << "Add Files and Folders";
    QTest::newRow("encrypt") << "encryptAction"
                             << "Encrypt";
    QTest::newRow("decrypt") << "decryptAction"
                             << "Decrypt";
    QTest::newRow("check") << "checkAction"
                           << "Check Passphrase";
    QTest::newRow("stop") << "stopAction"
                          << "Stop";
    QTest::newRow("preferences") << "preferencesAction"
                                 << "Preferences";
    QTest::newRow("quit") << "quitAction"
                          << "Quit";
}

void AppDelegateTest::helpShowsAboutAndEveryShortcut() {
    QFETCH(QString, action);
    QFETCH(QString, command);
    MainWindow* window = m_delegate->window();
    window->show();

    find<QAction>("aboutAction")->trigger();
    auto* about = find<QDialog>("aboutDialog");
    QTRY_VERIFY(about->isVisible());
    QCOMPARE(about->windowModality(), Qt::WindowModal);
    QVERIFY(QRegularExpression("^Brisklet \\d+\\.\\d+\\.\\d+$")
                .match(about->findChild<QLabel*>("aboutNameLabel")->text().remove("<b>").remove("</b>"))
                .hasMatch());
    QVERIFY(about->findChild<QLabel*>("aboutLicenceLabel")->text().contains("GPL-3.0-or-later"));
    QCOMPARE(about->findChild<QLabel*>("aboutFormatLabel")->text(),
             QString("Twofish-256 in CBC keyed by the JH-256 digest of the passphrase; no header, no salt."));
    const QString wordList = about->findChild<QLabel*>("aboutWordListLabel")->text();
    QVERIFY(wordList.contains("Electronic Frontier Foundation") && wordList.contains("CC BY 3.0"));
    about->reject();

    find<QAction>("shortcutsAction")->trigger();
    auto* shortcuts = find<QDialog>("shortcutsDialog");
    QTRY_VERIFY(shortcuts->isVisible());
    auto* table = shortcuts->findChild<QTableWidget*>("shortcutsTable");
    const QKeySequence key = find<QAction>(qPrintable(action))->shortcut();
    QVERIFY(!key.isEmpty());
    bool listed = false;
    for (int row = 0; row < table->rowCount(); ++row) {
        listed = listed || (table->item(row, 0)->text() == command &&
                            table->item(row, 1)->text().contains(key.toString(QKeySequence::NativeText)));
    }
    QVERIFY2(listed, qPrintable(command + ": " + key.toString()));
    shortcuts->reject();
}

QTEST_MAIN(AppDelegateTest)
#include "app_delegate_test.moc"
