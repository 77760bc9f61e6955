// SPDX-License-Identifier: GPL-3.0-or-later
// Checks the secure passphrase field and its shared editor through the events a user produces.
#include "ui/MySecureFieldEditor.h"
#include "ui/MySecureTextField.h"
#include "ui/Preferences.h"
#include "ui/SecureFieldNotifications.h"

#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "platform/ObserverRegistration.h"
#include "tests/ui/ui_test_support.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QUrl>
#include <QVBoxLayout>

#include <functional>
#include <memory>
#include <string>
#include <vector>

using LineEditCall = std::function<void(QLineEdit*)>;
Q_DECLARE_METATYPE(LineEditCall)

namespace {

const QString kUpdated =
    QString::fromUtf8(kSecureTextFieldUpdated.data(), qsizetype(kSecureTextFieldUpdated.size()));
const QString kCleared =
    QString::fromUtf8(kSecureTextFieldCleared.data(), qsizetype(kSecureTextFieldCleared.size()));
const QString kEmoji = QString::fromUcs4(U"\U0001F600");

// '*' stands for a bullet, so that an expected display reads like the screen.
QString masked(QString pattern) {
    return pattern.replace(u'*', QChar(0x25CF));
}

// One row per key binding that the platform's key scheme gives the standard key.
void addBindingRows(QKeySequence::StandardKey key, const char* name) {
    for (const QKeySequence& binding : QKeySequence::keyBindings(key)) {
        QTest::addRow("%s %s", name, qPrintable(binding.toString())) << binding;
    }
}

bool dropText(QWidget* target, const QMimeData& data, QPoint position) {
    QDragEnterEvent enter(position, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QDropEvent drop(position, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &drop);
    return drop.isAccepted();
}

QPoint endOf(const QLineEdit* field) {
    return QPoint(field->width() - 3, field->height() / 2);
}

} // namespace

class SecureFieldTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();
    void modifiedKeysTypeOnlyOtherCharacters_data();
    void modifiedKeysTypeOnlyOtherCharacters();

    void notificationsAtTheThreshold();
    void showsBulletsAndTheLatestEdit();
    void nextEditHidesThePreviousAndRestartsTheTimer();
    void delayAtOrBelowZeroHidesAtOnce_data();
    void delayAtOrBelowZeroHidesAtOnce();
    void editsAtTheCursor_data();
    void editsAtTheCursor();
    void selectAllAndTypeLeavesOneCharacter();
    void pasteIsMaskedAtOnce_data();
    void pasteIsMaskedAtOnce();
    void focusLossHidesAtOnce();
    void tabAndReturnAreNotText();
    void characterOutsideTheBmpCountsTwice();
    void copyAndCutLeaveTheClipboard_data();
    void copyAndCutLeaveTheClipboard();
    void noUndo_data();
    void noUndo();
    void contextMenuOffersOnlyPasteAndSelectAll();
    void selectingLeavesTheX11SelectionAlone();
    void hidingKeepsCursorAndSelection_data();
    void hidingKeepsCursorAndSelection();
    void oneEditorServesBothFields();
    void clearHiddenStringValueAlwaysPostsCleared();
    void refusedEditIsLogged_data();
    void refusedEditIsLogged();
    void windowKeepsCtrlEAndCtrlD_data();
    void windowKeepsCtrlEAndCtrlD();
    void inputMethodCommitsGoThroughTheDecision_data();
    void inputMethodCommitsGoThroughTheDecision();
    void droppedTextGoesThroughTheDecision_data();
    void droppedTextGoesThroughTheDecision();
    void lineEditSlotsGoThroughTheDecision_data();
    void lineEditSlotsGoThroughTheDecision();
    void withoutEditorEveryEditIsRefused();

private:
    QTimer* hideTimer() const { return m_editor->findChild<QTimer*>(QStringLiteral("hideTimer")); }

    std::unique_ptr<uitest::IsolatedSettings> m_settings;
    std::unique_ptr<MySecureFieldEditor> m_editor;
    std::unique_ptr<QWidget> m_window;
    MySecureTextField* m_field = nullptr;
    MySecureTextField* m_second = nullptr;
    QLineEdit* m_other = nullptr;
    // What m_field posted, and what it showed at that moment.
    QStringList m_posted;
    QStringList m_shownWhenPosted;
    std::vector<platform::ObserverRegistration> m_observers;
};

void SecureFieldTest::initTestCase() {
    m_settings = std::make_unique<uitest::IsolatedSettings>();
}

void SecureFieldTest::init() {
    m_settings->clear();
    // Readable until a test asks for a short delay.
    setCharacterHideSeconds(60.0f);
    QGuiApplication::clipboard()->clear();

    m_editor = std::make_unique<MySecureFieldEditor>();
    m_window = std::make_unique<QWidget>();
    auto* layout = new QVBoxLayout(m_window.get());
    m_field = new MySecureTextField(m_window.get());
    m_field->setObjectName(QStringLiteral("passPhraseField"));
    m_second = new MySecureTextField(m_window.get());
    m_second->setObjectName(QStringLiteral("confirmationField"));
    m_other = new QLineEdit(m_window.get());
    m_other->setObjectName(QStringLiteral("otherField"));
    for (QLineEdit* each : {static_cast<QLineEdit*>(m_field), static_cast<QLineEdit*>(m_second), m_other}) {
        layout->addWidget(each);
    }
    m_field->setFieldEditor(m_editor.get());
    m_second->setFieldEditor(m_editor.get());

    auto& center = platform::NotificationCenter::defaultCenter();
    for (const std::string_view name : {kSecureTextFieldUpdated, kSecureTextFieldCleared}) {
        m_observers.emplace_back(
            center, center.addObserver(std::string(name), m_field, [this](const auto& note) {
                m_posted.append(QString::fromUtf8(note.name.data(), qsizetype(note.name.size())));
                m_shownWhenPosted.append(m_field->stringValue());
            }));
    }

    m_window->show();
    m_window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    m_field->setFocus();
    QVERIFY(m_field->hasFocus());
}

void SecureFieldTest::cleanup() {
    m_observers.clear();
    m_window.reset();
    m_editor.reset();
    m_posted.clear();
    m_shownWhenPosted.clear();
}

void SecureFieldTest::notificationsAtTheThreshold() {
    QTest::keyClicks(m_field, QStringLiteral("abcd"));
    QCOMPARE(m_posted, QStringList(4, kCleared));
    QTest::keyClick(m_field, 'e');
    QCOMPARE(m_posted.size(), 5);
    QCOMPARE(m_posted.last(), kUpdated);
    // Posted before the edit is shown.
    QCOMPARE(m_shownWhenPosted.last(), masked("***d"));
    QTest::keyClick(m_field, Qt::Key_Backspace);
    QCOMPARE(m_posted.size(), 6);
    QCOMPARE(m_posted.last(), kCleared);
    QCOMPARE(m_field->hiddenStringValue(), QStringLiteral("abcd"));
}

void SecureFieldTest::showsBulletsAndTheLatestEdit() {
    const QString& real = m_field->hiddenStringValue();
    setCharacterHideSeconds(0.2f);
    QTest::keyClicks(m_field, QStringLiteral("abcdef"));
    QCOMPARE(m_field->stringValue(), masked("*****f"));
    // The readable character is painted, never the widget's text.
    QCOMPARE(m_field->text(), masked("******"));
    QCOMPARE(m_field->displayText().size(), 6);
    QVERIFY(!m_field->displayText().contains(u'f'));
    QCOMPARE(real, QStringLiteral("abcdef"));
    QVERIFY(m_editor->isShowing());

    QTRY_COMPARE(m_field->stringValue(), masked("******"));
    QVERIFY(!m_editor->isShowing());
    QCOMPARE(real, QStringLiteral("abcdef"));
    // Hiding is no edit: nothing more is posted.
    QCOMPARE(m_posted.size(), 6);
}

void SecureFieldTest::nextEditHidesThePreviousAndRestartsTheTimer() {
    QTimer* timer = hideTimer();
    QVERIFY(timer != nullptr);
    QTest::keyClick(m_field, 'a');
    QCOMPARE(timer->interval(), 60000);
    const int justStarted = timer->remainingTime();
    QTRY_VERIFY(timer->remainingTime() < justStarted - 20);
    QCOMPARE(m_field->stringValue(), QStringLiteral("a"));

    const int running = timer->remainingTime();
    QTest::keyClick(m_field, 'b');
    QCOMPARE(m_field->stringValue(), masked("*b"));
    QVERIFY2(timer->remainingTime() > running, qPrintable(QString::number(timer->remainingTime())));

    // The delay is read at every edit.
    setCharacterHideSeconds(0.05f);
    QTest::keyClick(m_field, 'c');
    QCOMPARE(m_field->stringValue(), masked("**c"));
    QCOMPARE(timer->interval(), 50);
    QTRY_COMPARE(m_field->stringValue(), masked("***"));
}

void SecureFieldTest::delayAtOrBelowZeroHidesAtOnce_data() {
    QTest::addColumn<float>("seconds");
    QTest::newRow("zero") << 0.0f;
    QTest::newRow("negative") << -1.0f;
}

void SecureFieldTest::delayAtOrBelowZeroHidesAtOnce() {
    QFETCH(float, seconds);
    setCharacterHideSeconds(seconds);
    QTest::keyClick(m_field, 'a');
    // Readable only until the event loop runs.
    QCOMPARE(m_field->stringValue(), QStringLiteral("a"));
    QCOMPARE(hideTimer()->interval(), 0);
    QTRY_COMPARE(m_field->stringValue(), masked("*"));
}

void SecureFieldTest::editsAtTheCursor_data() {
    QTest::addColumn<QTestEventList>("events");
    QTest::addColumn<QString>("hidden");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<int>("cursor");

    QTestEventList events;
    events.addKeyClicks(QStringLiteral("abc"));
    events.addKeyClick(Qt::Key_Left);
    events.addKeyClick(Qt::Key_Left);
    events.addKeyClicks(QStringLiteral("x"));
    QTest::newRow("typing in the middle") << events << "axbc"
                                          << "*x**" << 2;

    events.clear();
    events.addKeyClicks(QStringLiteral("abcd"));
    events.addKeyClick(Qt::Key_Left);
    events.addKeyClick(Qt::Key_Backspace);
    QTest::newRow("backspace in the middle") << events << "abd"
                                             << "***" << 2;

    events.clear();
    events.addKeyClicks(QStringLiteral("abcd"));
    events.addKeyClick(Qt::Key_Home);
    events.addKeyClick(Qt::Key_Delete);
    QTest::newRow("delete at the start") << events << "bcd"
                                         << "***" << 0;

    events.clear();
    events.addKeyClicks(QStringLiteral("abcd"));
    events.addKeyClick(Qt::Key_Left, Qt::ShiftModifier);
    events.addKeyClick(Qt::Key_Left, Qt::ShiftModifier);
    events.addKeyClicks(QStringLiteral("x"));
    QTest::newRow("typing over a selection") << events << "abx"
                                             << "**x" << 3;

    events.clear();
    events.addKeyClicks(QStringLiteral("abcd"));
    events.addKeyClick(Qt::Key_Left);
    events.addKeyClick(Qt::Key_Backspace, Qt::ControlModifier);
    QTest::newRow("word deletion backward reaches the start") << events << "d"
                                                              << "*" << 0;

    events.clear();
    events.addKeyClicks(QStringLiteral("abcd"));
    events.addKeyClick(Qt::Key_Home);
    events.addKeyClick(Qt::Key_Right);
    events.addKeyClick(Qt::Key_Delete, Qt::ControlModifier);
    QTest::newRow("word deletion forward reaches the end") << events << "a"
                                                           << "*" << 1;

    events.clear();
    events.addKeyClicks(QStringLiteral("ab"));
    events.addKeyClick(Qt::Key_Home);
    events.addKeyClick(Qt::Key_Backspace);
    QTest::newRow("backspace at the start changes nothing") << events << "ab"
                                                            << "*b" << 0;
}

void SecureFieldTest::editsAtTheCursor() {
    QFETCH(QTestEventList, events);
    QFETCH(QString, hidden);
    QFETCH(QString, shown);
    QFETCH(int, cursor);
    events.simulate(m_field);
    QCOMPARE(m_field->hiddenStringValue(), hidden);
    QCOMPARE(m_field->stringValue(), masked(shown));
    QCOMPARE(m_field->cursorPosition(), cursor);
}

void SecureFieldTest::selectAllAndTypeLeavesOneCharacter() {
    QTest::keyClicks(m_field, QStringLiteral("abcdefg"));
    QCOMPARE(m_posted.last(), kUpdated);
    QTest::keySequence(m_field, QKeySequence::SelectAll);
    QTest::keyClick(m_field, 'z');
    QCOMPARE(m_field->hiddenStringValue(), QStringLiteral("z"));
    QCOMPARE(m_field->stringValue(), QStringLiteral("z"));
    QCOMPARE(m_posted.last(), kCleared);
}

void SecureFieldTest::pasteIsMaskedAtOnce_data() {
    QTest::addColumn<QKeySequence>("binding");
    addBindingRows(QKeySequence::Paste, "paste");
}

void SecureFieldTest::pasteIsMaskedAtOnce() {
    QFETCH(QKeySequence, binding);
    QGuiApplication::clipboard()->setText(QStringLiteral("0123456789AB"));
    QTest::keyClicks(m_field, QStringLiteral("ab"));
    setCharacterHideSeconds(0.1f);
    QTest::keySequence(m_field, binding);
    QCOMPARE(m_field->hiddenStringValue(), QStringLiteral("ab0123456789AB"));
    // Masked at once: a pasted passphrase is never shown.
    QCOMPARE(m_field->stringValue(), MySecureFieldEditor::bulletStringOfLength(14));
    QVERIFY(!m_editor->isShowing());
    QCOMPARE(m_posted.size(), 3);
    QCOMPARE(m_posted.last(), kUpdated);
}

void SecureFieldTest::focusLossHidesAtOnce() {
    QTest::keyClick(m_field, 'a');
    QCOMPARE(m_field->stringValue(), QStringLiteral("a"));
    m_other->setFocus();
    QVERIFY(m_other->hasFocus());
    QCOMPARE(m_field->stringValue(), masked("*"));
    QVERIFY(!m_editor->isShowing());
    QCOMPARE(m_field->hiddenStringValue(), QStringLiteral("a"));
}

void SecureFieldTest::tabAndReturnAreNotText() {
    QSignalSpy returned(m_field, &QLineEdit::returnPressed);
    QTest::keyClicks(m_field, QStringLiteral("ab"));
    QTest::keyClick(m_field, Qt::Key_Return);
    QTest::keyClick(m_field, Qt::Key_Enter);
    QCOMPARE(returned.count(), 2);
    QTest::keyClick(m_field, Qt::Key_Tab);
    QVERIFY(m_second->hasFocus());
    QCOMPARE(m_field->hiddenStringValue(), QStringLiteral("ab"));
    QCOMPARE(m_field->stringValue(), masked("**"));
    QCOMPARE(m_posted.size(), 2);
}

void SecureFieldTest::characterOutsideTheBmpCountsTwice() {
    QTest::keyClicks(m_field, QStringLiteral("abc"));
    QTest::sendKeyEvent(QTest::Click, m_field, Qt::Key_unknown, kEmoji, Qt::NoModifier);
    QCOMPARE(m_field->hiddenStringValue(), QStringLiteral("abc") + kEmoji);
    QCOMPARE(m_field->hiddenStringValue().size(), 5);
    QCOMPARE(m_posted.last(), kUpdated);
    QCOMPARE(m_field->stringValue(), masked("***") + kEmoji);
    m_editor->hideText();
    QCOMPARE(m_field->stringValue(), masked("*****"));

    // Among bullets the cursor can stand between the two halves; edits there keep the character whole.
    QTest::keyClick(m_field, Qt::Key_Left);
    QCOMPARE(m_field->cursorPosition(), 4);
    QTest::keyClick(m_field, 'x');
    QCOMPARE(m_field->hiddenStringValue(), QStringLiteral("abc") + kEmoji + QStringLiteral("x"));
    QCOMPARE(m_field->stringValue(), masked("*****x"));
    QTest::keyClick(m_field, Qt::Key_Backspace);
    QTest::keyClick(m_field, Qt::Key_Left);
    QTest::keyClick(m_field, Qt::Key_Backspace);
    QCOMPARE(m_field->hiddenStringValue(), QStringLiteral("abc"));
    QCOMPARE(m_field->stringValue(), masked("***"));
    QCOMPARE(m_posted.last(), kCleared);
}

void SecureFieldTest::copyAndCutLeaveTheClipboard_data() {
    QTest::addColumn<QKeySequence>("binding");
    addBindingRows(QKeySequence::Copy, "copy");
    addBindingRows(QKeySequence::Cut, "cut");
}

void SecureFieldTest::copyAndCutLeaveTheClipboard() {
    QFETCH(QKeySequence, binding);
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(QStringLiteral("sentinel"));
    QTest::keyClicks(m_field, QStringLiteral("secret"));
    QTest::keySequence(m_field, QKeySequence::SelectAll);
    const QString shown = m_field->stringValue();
    QTest::keySequence(m_field, binding);
    QCOMPARE(clipboard->text(), QStringLiteral("sentinel"));
    QCOMPARE(m_field->hiddenStringValue(), QStringLiteral("secret"));
    QCOMPARE(m_field->stringValue(), shown);
    QCOMPARE(m_posted.size(), 6);
}

void SecureFieldTest::noUndo_data() {
    QTest::addColumn<QKeySequence>("binding");
    addBindingRows(QKeySequence::Undo, "undo");
    addBindingRows(QKeySequence::Redo, "redo");
}

void SecureFieldTest::noUndo() {
    QFETCH(QKeySequence, binding);
    QTest::keyClicks(m_field, QStringLiteral("abc"));
    QTest::keyClick(m_field, Qt::Key_Backspace);
    const QString shown = m_field->stringValue();
    QTest::keySequence(m_field, binding);
    QCOMPARE(m_field->hiddenStringValue(), QStringLiteral("ab"));
    QCOMPARE(m_field->stringValue(), shown);
    QCOMPARE(m_posted.size(), 4);
    // Called from code, a password line edit's undo clears the line; that too is an edit the field decides.
    m_field->undo();
    m_field->redo();
    QVERIFY(!m_field->isUndoAvailable());
    QVERIFY(!m_field->isRedoAvailable());
    QCOMPARE(m_field->hiddenStringValue().size(), m_field->text().size());
}

void SecureFieldTest::contextMenuOffersOnlyPasteAndSelectAll() {
    QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
    QTest::keyClicks(m_field, QStringLiteral("ab"));
    QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), m_field->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(m_field, &event);
    auto* menu = m_field->findChild<QMenu*>(QStringLiteral("secureFieldMenu"));
    QVERIFY(menu != nullptr);
    QStringList offered;
    for (const QAction* action : menu->actions()) {
        if (!action->isSeparator()) {
            offered.append(QString(action->text()).remove(u'&'));
        }
    }
    QCOMPARE(offered, QStringList({QStringLiteral("Paste"), QStringLiteral("Select All")}));
    menu->actions().constFirst()->trigger();
    menu->close();
    QCOMPARE(m_field->hiddenStringValue(), QStringLiteral("abpasted"));
    QCOMPARE(m_field->stringValue(), masked("********"));
}

void SecureFieldTest::selectingLeavesTheX11SelectionAlone() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard->supportsSelection()) {
        QSKIP("no X11-style selection on this platform");
    }
    clipboard->setText(QStringLiteral("sentinel"), QClipboard::Selection);
    QTest::keyClicks(m_field, QStringLiteral("secret"));
    QTest::mousePress(m_field, Qt::LeftButton, {}, QPoint(2, m_field->height() / 2));
    QTest::mouseMove(m_field, endOf(m_field));
    QTest::mouseRelease(m_field, Qt::LeftButton, {}, endOf(m_field));
    QCOMPARE(m_field->selectionLength(), 6);
    QCOMPARE(clipboard->text(QClipboard::Selection), QStringLiteral("sentinel"));
    QTest::keyClick(m_field, Qt::Key_End);
    QTest::keyClick(m_field, Qt::Key_Home, Qt::ShiftModifier);
    QCOMPARE(m_field->selectionLength(), 6);
    QCOMPARE(clipboard->text(QClipboard::Selection), QStringLiteral("sentinel"));

    // A middle click pastes the X11 selection, as an edit like any other, masked at once.
    QTest::mouseClick(m_field, Qt::MiddleButton, {}, endOf(m_field));
    QCOMPARE(m_field->hiddenStringValue(), QStringLiteral("secretsentinel"));
    QCOMPARE(m_field->stringValue(), masked("**************"));
}

void SecureFieldTest::hidingKeepsCursorAndSelection_data() {
    QTest::addColumn<QTestEventList>("moves");
    QTest::addColumn<int>("selectionStart");
    QTest::addColumn<int>("selectionLength");
    QTest::addColumn<int>("cursor");

    QTestEventList moves;
    moves.addKeyClick(Qt::Key_Left);
    QTest::newRow("cursor in the middle") << moves << -1 << 0 << 3;
    moves.clear();
    moves.addKeyClick(Qt::Key_Home);
    moves.addKeyClick(Qt::Key_Right, Qt::ShiftModifier);
    moves.addKeyClick(Qt::Key_Right, Qt::ShiftModifier);
    QTest::newRow("selection made forward") << moves << 0 << 2 << 2;
    moves.clear();
    moves.addKeyClick(Qt::Key_Left, Qt::ShiftModifier);
    moves.addKeyClick(Qt::Key_Left, Qt::ShiftModifier);
    QTest::newRow("selection made backward") << moves << 2 << 2 << 2;
}

void SecureFieldTest::hidingKeepsCursorAndSelection() {
    QFETCH(QTestEventList, moves);
    QFETCH(int, selectionStart);
    QFETCH(int, selectionLength);
    QFETCH(int, cursor);
    setCharacterHideSeconds(0.1f);
    QTest::keyClicks(m_field, QStringLiteral("abcd"));
    moves.simulate(m_field);
    QVERIFY(m_editor->isShowing());
    QTRY_VERIFY(!m_editor->isShowing());
    QCOMPARE(m_field->stringValue(), masked("****"));
    QCOMPARE(m_field->selectionStart(), selectionStart);
    QCOMPARE(m_field->selectionLength(), selectionLength);
    QCOMPARE(m_field->cursorPosition(), cursor);
}

void SecureFieldTest::oneEditorServesBothFields() {
    QTest::keyClick(m_field, 'a');
    QCOMPARE(m_field->stringValue(), QStringLiteral("a"));
    // A drop edits the other field without taking the focus from this one.
    QMimeData data;
    data.setText(QStringLiteral("x"));
    QVERIFY(dropText(m_second, data, endOf(m_second)));
    QVERIFY(m_field->hasFocus());
    QCOMPARE(m_field->stringValue(), masked("*"));
    QCOMPARE(m_second->stringValue(), masked("*")); // a drop is never shown
    QCOMPARE(m_second->hiddenStringValue(), QStringLiteral("x"));
    QCOMPARE(m_field->hiddenStringValue(), QStringLiteral("a"));
    // Each field posts with itself as the object.
    QCOMPARE(m_posted.size(), 1);
}

void SecureFieldTest::clearHiddenStringValueAlwaysPostsCleared() {
    m_field->clearHiddenStringValue();
    QCOMPARE(m_posted, QStringList({kCleared}));
    QTest::keyClicks(m_field, QStringLiteral("abcdef"));
    const QString shown = m_field->stringValue();
    m_field->clearHiddenStringValue();
    QCOMPARE(m_posted.last(), kCleared);
    QVERIFY(m_field->hiddenStringValue().isEmpty());
    QCOMPARE(m_field->stringValue(), shown);
}

void SecureFieldTest::refusedEditIsLogged_data() {
    QTest::addColumn<int>("start");
    QTest::addColumn<int>("length");
    QTest::newRow("start past the end") << 4 << 0;
    QTest::newRow("length past the end") << 1 << 3;
    QTest::newRow("negative start") << -1 << 1;
    QTest::newRow("negative length") << 0 << -1;
}

void SecureFieldTest::refusedEditIsLogged() {
    QFETCH(int, start);
    QFETCH(int, length);
    // The decision itself changes only the real text.
    QVERIFY(m_field->textViewShouldChangeTextInRange(0, 0, QStringLiteral("abc")));
    QCOMPARE(m_field->stringValue(), QString());
    m_posted.clear();

    const platform::LogCapture log;
    QVERIFY(!m_field->textViewShouldChangeTextInRange(start, length, QStringLiteral("x")));
    QCOMPARE(log.lines(), std::vector<std::string>({std::string(kCopyingToHiddenStringFailed)}));
    QCOMPARE(m_field->hiddenStringValue(), QStringLiteral("abc"));
    QVERIFY(m_posted.isEmpty());
}

void SecureFieldTest::windowKeepsCtrlEAndCtrlD_data() {
    QTest::addColumn<Qt::Key>("key");
    QTest::newRow("Ctrl+E") << Qt::Key_E;
    QTest::newRow("Ctrl+D") << Qt::Key_D;
}

void SecureFieldTest::windowKeepsCtrlEAndCtrlD() {
    QFETCH(Qt::Key, key);
    QAction command(m_window.get());
    command.setShortcut(QKeySequence(Qt::CTRL | key));
    m_window->addAction(&command);
    QSignalSpy fired(&command, &QAction::triggered);
    QTest::keyClicks(m_field, QStringLiteral("abc"));

    // Qt asks the focus widget first; an accepted override would keep the key from the window.
    QKeyEvent override(QEvent::ShortcutOverride, key, Qt::ControlModifier);
    QApplication::sendEvent(m_field, &override);
    QVERIFY(!override.isAccepted());
    QKeyEvent typed(QEvent::ShortcutOverride, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
    QApplication::sendEvent(m_field, &typed);
    QVERIFY(typed.isAccepted());

    QTest::keyClick(m_field, key, Qt::ControlModifier);
    QCOMPARE(fired.count(), 1);
    QKeyEvent press(QEvent::KeyPress, key, Qt::ControlModifier);
    QApplication::sendEvent(m_field, &press);
    QCOMPARE(m_field->hiddenStringValue(), QStringLiteral("abc"));
    QCOMPARE(m_field->stringValue(), masked("**c"));
    QCOMPARE(m_field->cursorPosition(), 3);
}

void SecureFieldTest::inputMethodCommitsGoThroughTheDecision_data() {
    QTest::addColumn<QString>("preedit");
    QTest::addColumn<QString>("commit");
    QTest::addColumn<int>("replacementStart");
    QTest::addColumn<int>("replacementLength");
    QTest::addColumn<QString>("hidden");
    QTest::addColumn<QString>("shown");
    QTest::newRow("commit") << ""
                            << "xyz" << 0 << 0 << "abcxyz"
                            << "***xyz";
    QTest::newRow("commit beside a preedit") << "more"
                                             << "x" << 0 << 0 << "abcx"
                                             << "***x";
    QTest::newRow("preedit alone is no edit") << "pre"
                                              << "" << 0 << 0 << "abc"
                                              << "**c";
    QTest::newRow("commit replacing the character before") << ""
                                                           << "Z" << -1 << 1 << "abZ"
                                                           << "**Z";
    QTest::newRow("replacement cut to the text") << ""
                                                 << "Z" << -10 << 20 << "Z"
                                                 << "Z";
}

void SecureFieldTest::inputMethodCommitsGoThroughTheDecision() {
    QFETCH(QString, preedit);
    QFETCH(QString, commit);
    QFETCH(int, replacementStart);
    QFETCH(int, replacementLength);
    QFETCH(QString, hidden);
    QFETCH(QString, shown);
    QTest::keyClicks(m_field, QStringLiteral("abc"));
    QInputMethodEvent event(preedit, {});
    event.setCommitString(commit, replacementStart, replacementLength);
    QApplication::sendEvent(m_field, &event);
    QCOMPARE(m_field->hiddenStringValue(), hidden);
    QCOMPARE(m_field->stringValue(), masked(shown));
    QCOMPARE(m_posted.size(), commit.isEmpty() ? 3 : 4);
    QCOMPARE(m_field->inputMethodQuery(Qt::ImSurroundingText).toString(), QString());
}

void SecureFieldTest::droppedTextGoesThroughTheDecision_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<QString>("hidden");
    QTest::addColumn<QString>("shown");
    QTest::newRow("text") << "dropped" << true << "abdropped"
                          << "*********";
    QTest::newRow("no text") << "" << false << "ab"
                             << "*b";
}

void SecureFieldTest::droppedTextGoesThroughTheDecision() {
    QFETCH(QString, text);
    QFETCH(bool, accepted);
    QFETCH(QString, hidden);
    QFETCH(QString, shown);
    QTest::keyClicks(m_field, QStringLiteral("ab"));
    QMimeData data;
    data.setUrls({QUrl(QStringLiteral("file:///tmp/somewhere"))});
    if (!text.isEmpty()) {
        data.setText(text);
    }
    QCOMPARE(dropText(m_field, data, endOf(m_field)), accepted);
    QCOMPARE(m_field->hiddenStringValue(), hidden);
    QCOMPARE(m_field->stringValue(), masked(shown));
    QCOMPARE(m_posted.size(), accepted ? 3 : 2);
}

void SecureFieldTest::lineEditSlotsGoThroughTheDecision_data() {
    QTest::addColumn<LineEditCall>("call");
    QTest::addColumn<QString>("hidden");
    QTest::addColumn<QString>("shown");
    QTest::newRow("setText") << LineEditCall([](QLineEdit* e) { e->setText(QStringLiteral("xyz")); }) << "xyz"
                             << "***";
    QTest::newRow("insert") << LineEditCall([](QLineEdit* e) { e->insert(QStringLiteral("Q")); }) << "abcQ"
                            << "****";
    QTest::newRow("backspace") << LineEditCall([](QLineEdit* e) { e->backspace(); }) << "ab"
                               << "**";
    QTest::newRow("del at the start") << LineEditCall([](QLineEdit* e) {
        e->home(false);
        e->del();
    }) << "bc"
                                      << "**";
    QTest::newRow("clear") << LineEditCall([](QLineEdit* e) { e->clear(); }) << ""
                           << "";
    QTest::newRow("setMaxLength cuts") << LineEditCall([](QLineEdit* e) { e->setMaxLength(2); }) << "ab"
                                       << "**";
}

void SecureFieldTest::lineEditSlotsGoThroughTheDecision() {
    QFETCH(LineEditCall, call);
    QFETCH(QString, hidden);
    QFETCH(QString, shown);
    QTest::keyClicks(m_field, QStringLiteral("abc"));
    call(m_field);
    QCOMPARE(m_field->hiddenStringValue(), hidden);
    QCOMPARE(m_field->stringValue(), masked(shown));
    QCOMPARE(m_posted.size(), 4);
    QVERIFY(!m_field->isUndoAvailable());
}

void SecureFieldTest::withoutEditorEveryEditIsRefused() {
    m_field->setFieldEditor(nullptr);
    QGuiApplication::clipboard()->setText(QStringLiteral("pasted"));
    QTest::keyClicks(m_field, QStringLiteral("ab"));
    QTest::keySequence(m_field, QKeySequence::Paste);
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("x"));
    QApplication::sendEvent(m_field, &commit);
    m_field->setText(QStringLiteral("typed past the editor"));
    QVERIFY(m_field->hiddenStringValue().isEmpty());
    QVERIFY(m_field->stringValue().isEmpty());
    QVERIFY(m_posted.isEmpty());
}

void SecureFieldTest::modifiedKeysTypeOnlyOtherCharacters_data() {
    QTest::addColumn<int>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<QString>("typed");
    QTest::newRow("Alt+R, a mnemonic")
        << int(Qt::Key_R) << "r" << Qt::KeyboardModifiers(Qt::AltModifier) << "";
    QTest::newRow("Alt+Shift+T") << int(Qt::Key_T) << "T" << (Qt::AltModifier | Qt::ShiftModifier) << "";
    QTest::newRow("Meta+S") << int(Qt::Key_S) << "s" << Qt::KeyboardModifiers(Qt::MetaModifier) << "";
    QTest::newRow("Ctrl+Alt+1") << int(Qt::Key_1) << "1" << (Qt::ControlModifier | Qt::AltModifier) << "";
    QTest::newRow("a third level typing another character")
        << int(Qt::Key_E) << "€" << Qt::KeyboardModifiers(Qt::AltModifier) << "€";
    QTest::newRow("a joiner typed with Ctrl+Shift")
        << int(Qt::Key_unknown) << QString(QChar(0x200D)) << (Qt::ControlModifier | Qt::ShiftModifier)
        << QString(QChar(0x200D));
}

// With an empty field, mnemonics of disabled or hidden buttons used to type their letters.
void SecureFieldTest::modifiedKeysTypeOnlyOtherCharacters() {
    QFETCH(int, key);
    QFETCH(QString, text);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(QString, typed);
    QTest::sendKeyEvent(QTest::Click, m_field, Qt::Key(key), text, modifiers);
    QCOMPARE(m_field->hiddenStringValue(), typed);
}

QTEST_MAIN(SecureFieldTest)
#include "secure_field_test.moc"
