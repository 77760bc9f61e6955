// SPDX-License-Identifier: GPL-3.0-or-later
// A single-line passphrase field that keeps the real text to itself and shows bullets.
#include "ui/MySecureTextField.h"

#include "platform/Log.h"
#include "platform/NotificationCenter.h"
#include "ui/SecureFieldNotifications.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScopedValueRollback>
#include <QStyle>

#include <algorithm>
#include <initializer_list>
#include <optional>

namespace {

constexpr qsizetype kInitialCapacity = 256;
// From this many UTF-16 code units on, the passphrase is worth colour feedback.
constexpr qsizetype kFeedbackThreshold = 5;

using Deletion = MySecureFieldEditor::Deletion;

bool matchesAny(const QKeyEvent* event, std::initializer_list<QKeySequence::StandardKey> keys) {
    return std::any_of(keys.begin(), keys.end(),
                       [event](QKeySequence::StandardKey key) { return event->matches(key); });
}

// Line edits on X11 take Ctrl+E for end of line, Ctrl+D for delete and Ctrl+K for deleting to the end;
// here all three belong to the window's commands (Encrypt, Decrypt, Check).
bool isLeftToTheWindow(const QKeyEvent* event) {
    const Qt::KeyboardModifiers modifiers = event->modifiers() & ~Qt::KeypadModifier;
    const int key = event->key();
    return modifiers == Qt::ControlModifier && (key == Qt::Key_E || key == Qt::Key_D || key == Qt::Key_K);
}

// Whether the key types its text, by the rules of Qt's own line edit.
bool isTextInput(const QKeyEvent* event) {
    const QString text = event->text();
    if (text.isEmpty()) {
        return false;
    }
    const QChar first = text.front();
    // Joiners and direction marks, which some keyboards type with Ctrl+Shift.
    if (first.category() == QChar::Other_Format) {
        return true;
    }
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    if (modifiers & Qt::ControlModifier) {
        return false;
    }
    // Alt+R is a mnemonic, not an r; a layout's third level (AltGr) types another character than the key.
    if ((modifiers & (Qt::AltModifier | Qt::MetaModifier)) && text.size() == 1 && event->key() < 0x10000 &&
        QChar(char16_t(event->key())).toLower() == first.toLower()) {
        return false;
    }
    return first.isPrint() || first.category() == QChar::Other_PrivateUse ||
           (first.isHighSurrogate() && text.size() > 1 && text.at(1).isLowSurrogate());
}

std::optional<Deletion> deletionFor(const QKeyEvent* event) {
    if (event->matches(QKeySequence::DeleteStartOfWord)) {
        return Deletion::ToStart;
    }
    if (matchesAny(event, {QKeySequence::DeleteEndOfWord, QKeySequence::DeleteEndOfLine})) {
        return Deletion::ToEnd;
    }
    if (event->matches(QKeySequence::Delete)) {
        return Deletion::Forward;
    }
    if (event->matches(QKeySequence::Backspace)) {
        return Deletion::Backward;
    }
    if (event->key() == Qt::Key_Backspace) {
        return (event->modifiers() & Qt::ControlModifier) ? Deletion::ToStart : Deletion::Backward;
    }
    return std::nullopt;
}

} // namespace

MySecureTextField::MySecureTextField(QWidget* parent) : QLineEdit(parent) {
    m_hiddenString.reserve(kInitialCapacity);
    // A password field to assistive technology and input methods; its text is bullets all the same.
    setEchoMode(QLineEdit::Password);
    setDragEnabled(false);
    setInputMethodHints(Qt::ImhHiddenText | Qt::ImhSensitiveData | Qt::ImhNoPredictiveText |
                        Qt::ImhNoAutoUppercase);
    connect(this, &QLineEdit::textChanged, this, &MySecureTextField::routeStrayChange);
}

QString MySecureTextField::stringValue() const {
    QString shown = text();
    if (!m_revealed.isEmpty() && m_revealedAt + m_revealed.size() <= shown.size()) {
        shown.replace(m_revealedAt, m_revealed.size(), m_revealed);
    }
    return shown;
}

void MySecureTextField::setStringValue(const QString& text) {
    const QScopedValueRollback guard(m_settingDisplay, true);
    clearRevealed();
    setText(MySecureFieldEditor::bulletStringOfLength(int(text.size())));
    m_displayedText = this->text();
}

void MySecureTextField::setRevealed(int position, const QString& text) {
    m_revealedAt = position;
    m_revealed = text;
    update();
}

void MySecureTextField::clearRevealed() {
    if (!m_revealed.isEmpty()) {
        m_revealed.fill(QChar(u' '));
        m_revealed.clear();
        update();
    }
}

void MySecureTextField::paintEvent(QPaintEvent* event) {
    QLineEdit::paintEvent(event);
    if (m_revealed.isEmpty()) {
        return;
    }
    // Every masked character is as wide as the next, so the cursor places the readable stretch.
    const QChar mask(style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, this));
    const int maskWidth = fontMetrics().horizontalAdvance(mask);
    const QRect cursor = cursorRect();
    const int left = cursor.center().x() - (cursorPosition() - m_revealedAt) * maskWidth;
    const int width =
        std::max(int(m_revealed.size()) * maskWidth, fontMetrics().horizontalAdvance(m_revealed));
    const QRect area(left, cursor.top(), width, cursor.height());
    QPainter painter(this);
    painter.setClipRect(contentsRect());
    painter.fillRect(area, palette().brush(QPalette::Base));
    painter.setPen(palette().color(QPalette::Text));
    painter.drawText(area, Qt::AlignLeft | Qt::AlignVCenter, m_revealed);
}

const QString& MySecureTextField::hiddenStringValue() const {
    return m_hiddenString;
}

void MySecureTextField::clearHiddenStringValue() {
    m_hiddenString.clear();
    m_hiddenString.reserve(kInitialCapacity);
    post(kSecureTextFieldCleared);
}

bool MySecureTextField::textViewShouldChangeTextInRange(int start, int length, const QString& replacement) {
    if (start < 0 || length < 0 || start > m_hiddenString.size() || length > m_hiddenString.size() - start) {
        platform::log(kCopyingToHiddenStringFailed);
        return false;
    }
    m_hiddenString.replace(start, length, replacement);
    post(m_hiddenString.size() >= kFeedbackThreshold ? kSecureTextFieldUpdated : kSecureTextFieldCleared);
    return true;
}

void MySecureTextField::setFieldEditor(MySecureFieldEditor* editor) {
    m_fieldEditor = editor;
}

MySecureFieldEditor* MySecureTextField::fieldEditor() const {
    return m_fieldEditor.data();
}

QVariant MySecureTextField::inputMethodQuery(Qt::InputMethodQuery query) const {
    switch (query) {
    case Qt::ImSurroundingText:
    case Qt::ImCurrentSelection:
    case Qt::ImTextBeforeCursor:
    case Qt::ImTextAfterCursor:
        return QString();
    case Qt::ImCursorPosition:
    case Qt::ImAnchorPosition:
        return 0;
    default:
        return QLineEdit::inputMethodQuery(query);
    }
}

bool MySecureTextField::event(QEvent* event) {
    // Left unaccepted, the override lets the window's shortcut have the key.
    if (event->type() == QEvent::ShortcutOverride && isLeftToTheWindow(static_cast<QKeyEvent*>(event))) {
        event->ignore();
        return true;
    }
    return QLineEdit::event(event);
}

void MySecureTextField::keyPressEvent(QKeyEvent* event) {
    if (isLeftToTheWindow(event)) {
        event->ignore();
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        // Not text: Qt's line edit emits returnPressed and leaves the key to the dialog's default button.
        QLineEdit::keyPressEvent(event);
        return;
    }
    // Everything else is handled here: Qt's line edit would keep an undo history, copy to the clipboard on
    // Copy, Cut and deleting a whole line, and copy every keyboard selection to the X11 selection.
    event->accept();
    if (event->matches(QKeySequence::Paste)) {
        pasteFrom(QClipboard::Clipboard);
    } else if (matchesAny(event,
                          {QKeySequence::Copy, QKeySequence::Cut, QKeySequence::Undo, QKeySequence::Redo})) {
        // Refused: nothing of the field reaches a clipboard, and there is no history to step through.
    } else if (event->matches(QKeySequence::DeleteCompleteLine)) {
        selectAll();
        if (m_fieldEditor) {
            m_fieldEditor->deleteText(this, Deletion::Backward);
        }
    } else if (const std::optional<Deletion> deletion = deletionFor(event)) {
        if (m_fieldEditor) {
            m_fieldEditor->deleteText(this, *deletion);
        }
    } else if (moveCursorFor(event)) {
        // Moved or selected; the text is unchanged.
    } else if (isTextInput(event)) {
        if (m_fieldEditor) {
            m_fieldEditor->insertText(this, event->text());
        }
    } else {
        event->ignore();
    }
}

bool MySecureTextField::moveCursorFor(const QKeyEvent* event) {
    using Key = QKeySequence;
    // The display is bullets, so like a password field the text counts as one word.
    if (event->matches(Key::SelectAll)) {
        selectAll();
    } else if (event->matches(Key::MoveToNextChar)) {
        if (hasSelectedText()) {
            setCursorPosition(selectionEnd());
        } else {
            cursorForward(false);
        }
    } else if (event->matches(Key::MoveToPreviousChar)) {
        if (hasSelectedText()) {
            setCursorPosition(selectionStart());
        } else {
            cursorBackward(false);
        }
    } else if (event->matches(Key::SelectNextChar)) {
        cursorForward(true);
    } else if (event->matches(Key::SelectPreviousChar)) {
        cursorBackward(true);
    } else if (matchesAny(event, {Key::MoveToNextWord, Key::MoveToEndOfLine, Key::MoveToEndOfBlock,
                                  Key::MoveToEndOfDocument})) {
        end(false);
    } else if (matchesAny(event, {Key::MoveToPreviousWord, Key::MoveToStartOfLine, Key::MoveToStartOfBlock,
                                  Key::MoveToStartOfDocument})) {
        home(false);
    } else if (matchesAny(event, {Key::SelectNextWord, Key::SelectEndOfLine, Key::SelectEndOfBlock,
                                  Key::SelectEndOfDocument})) {
        end(true);
    } else if (matchesAny(event, {Key::SelectPreviousWord, Key::SelectStartOfLine, Key::SelectStartOfBlock,
                                  Key::SelectStartOfDocument})) {
        home(true);
    } else {
        return false;
    }
    return true;
}

void MySecureTextField::inputMethodEvent(QInputMethodEvent* event) {
    // Only committed text becomes an edit. Text still being composed is not shown at all: it would stay
    // readable for as long as the composition lasts, outside the hide timer.
    event->accept();
    if (!m_fieldEditor) {
        return;
    }
    const QString& commit = event->commitString();
    if (hasSelectedText() || event->replacementLength() <= 0) {
        if (!commit.isEmpty()) {
            m_fieldEditor->insertText(this, commit);
        }
        return;
    }
    const int length = int(text().size());
    const int start = std::clamp(cursorPosition() + event->replacementStart(), 0, length);
    m_fieldEditor->replaceRange(this, start, std::min(event->replacementLength(), length - start), commit);
}

void MySecureTextField::mouseReleaseEvent(QMouseEvent* event) {
    // Qt's line edit copies a mouse selection to the X11 selection, which would hand out the display, and
    // pastes that selection on a middle click, which must be an edit like any other.
    if (event->button() == Qt::MiddleButton) {
        deselect();
        pasteFrom(QClipboard::Selection);
        event->accept();
    } else if (event->button() == Qt::LeftButton) {
        event->accept();
    } else {
        QLineEdit::mouseReleaseEvent(event);
    }
}

void MySecureTextField::dropEvent(QDropEvent* event) {
    const QString dropped = event->mimeData()->text();
    if (dropped.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    // Ends the drop cursor that dragMoveEvent showed.
    QDragLeaveEvent leave;
    QLineEdit::dragLeaveEvent(&leave);
    setCursorPosition(cursorPositionAt(event->position().toPoint()));
    if (m_fieldEditor) {
        m_fieldEditor->insertText(this, dropped, MySecureFieldEditor::Reveal::No);
    }
}

void MySecureTextField::contextMenuEvent(QContextMenuEvent* event) {
    // Only what neither hands out the text nor needs a history: no Undo, Redo, Cut, Copy or Delete.
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("secureFieldMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    QAction* paste = menu->addAction(tr("&Paste"));
    paste->setEnabled(!QGuiApplication::clipboard()->text().isEmpty());
    connect(paste, &QAction::triggered, this, [this] { pasteFrom(QClipboard::Clipboard); });
    menu->addSeparator();
    QAction* all = menu->addAction(tr("Select All"));
    all->setEnabled(!text().isEmpty());
    connect(all, &QAction::triggered, this, &QLineEdit::selectAll);
    menu->popup(event->globalPos());
}

void MySecureTextField::focusOutEvent(QFocusEvent* event) {
    if (m_fieldEditor && m_fieldEditor->isShowing()) {
        m_fieldEditor->hideText();
    }
    QLineEdit::focusOutEvent(event);
}

void MySecureTextField::pasteFrom(QClipboard::Mode mode) {
    const QClipboard* clipboard = QGuiApplication::clipboard();
    if (m_fieldEditor && (mode != QClipboard::Selection || clipboard->supportsSelection())) {
        m_fieldEditor->insertText(this, clipboard->text(mode), MySecureFieldEditor::Reveal::No);
    }
}

void MySecureTextField::routeStrayChange(const QString& text) {
    if (m_settingDisplay) {
        return;
    }
    // Something changed the display past the editor: one of QLineEdit's public slots, accessibility, a
    // maxLength cut. Put the display back and offer the difference as an edit like any other.
    const QString before = m_displayedText;
    const qsizetype shorter = std::min(before.size(), text.size());
    // Bullets all look alike, so the common prefix alone cannot place the change. For an insertion or a
    // deletion the cursor, which Qt leaves behind the inserted text or at the deletion, can.
    const qsizetype grown = std::max<qsizetype>(text.size() - before.size(), 0);
    const qsizetype limit = std::clamp<qsizetype>(cursorPosition() - grown, 0, shorter);
    qsizetype prefix = 0;
    while (prefix < limit && before.at(prefix) == text.at(prefix)) {
        ++prefix;
    }
    qsizetype suffix = 0;
    while (suffix < shorter - prefix &&
           before.at(before.size() - 1 - suffix) == text.at(text.size() - 1 - suffix)) {
        ++suffix;
    }
    setStringValue(before);
    setCursorPosition(int(prefix));
    if (m_fieldEditor) {
        m_fieldEditor->replaceRange(this, int(prefix), int(before.size() - prefix - suffix),
                                    text.mid(prefix, text.size() - prefix - suffix),
                                    MySecureFieldEditor::Reveal::No);
    }
}

void MySecureTextField::post(std::string_view name) const {
    platform::NotificationCenter::defaultCenter().post(name, static_cast<const void*>(this));
}
