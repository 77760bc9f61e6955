// SPDX-License-Identifier: GPL-3.0-or-later
// A single-line passphrase field that keeps the real text to itself and shows bullets.
#pragma once

#include "ui/MySecureFieldEditor.h"

#include <QClipboard>
#include <QLineEdit>
#include <QPointer>
#include <QString>

#include <string_view>

// The field owns the real text (m_hiddenString) and decides every edit of it; its field editor performs
// the edits and shows bullets plus, for a moment, the latest edit. Every way text can enter the field —
// keys, input methods, paste, middle click, drop, and QLineEdit's own slots such as setText, insert or
// clear — reaches textViewShouldChangeTextInRange. Nothing of the field goes to a clipboard or a drag, and
// it keeps no undo history. Without a field editor every edit is refused.
class MySecureTextField : public QLineEdit {
    Q_OBJECT

public:
    explicit MySecureTextField(QWidget* parent = nullptr);

    // What the screen shows: bullets, plus the latest edit while it is still readable. The widget's own
    // text() is all bullets, always: the readable edit is painted over them and never held as text, so
    // that neither accessibility nor a text-changed signal can carry a typed character.
    QString stringValue() const;
    // Sets the displayed text only, as one bullet per code unit of `text`; the real text is not touched,
    // and nothing stays readable. Callers that empty the field also call clearHiddenStringValue.
    void setStringValue(const QString& text);
    // Shows `text` readable over the bullets from `position` on, until clearRevealed(); for the editor.
    void setRevealed(int position, const QString& text);
    void clearRevealed();
    // The real text itself, so a holder of the reference sees later edits.
    const QString& hiddenStringValue() const;
    // Empties the real text and posts kSecureTextFieldCleared, even when it was empty already.
    void clearHiddenStringValue();

    // The decision on one edit: replaces [start, start + length) of the real text by replacement and posts
    // kSecureTextFieldUpdated (5 or more UTF-16 code units now) or kSecureTextFieldCleared (fewer), before
    // the editor shows the edit. A range outside the real text is refused: nothing changes, nothing is
    // posted, and kCopyingToHiddenStringFailed is logged.
    bool textViewShouldChangeTextInRange(int start, int length, const QString& replacement);

    // The shared editor, not owned; null refuses every edit.
    void setFieldEditor(MySecureFieldEditor* editor);
    MySecureFieldEditor* fieldEditor() const;

    using QLineEdit::inputMethodQuery;
    // An input method learns nothing of the text, not even the part that is readable.
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    bool moveCursorFor(const QKeyEvent* event);
    void pasteFrom(QClipboard::Mode mode);
    void routeStrayChange(const QString& text);
    void post(std::string_view name) const;

    QString m_hiddenString;
    QString m_displayedText; // the display as last set through setStringValue
    QString m_revealed;      // the readable edit, painted over the bullets from m_revealedAt on
    int m_revealedAt = 0;
    bool m_settingDisplay = false;
    QPointer<MySecureFieldEditor> m_fieldEditor;
};
