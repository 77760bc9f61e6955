// SPDX-License-Identifier: GPL-3.0-or-later
// The one editing object of every secure field: applies each edit, shows it briefly, then masks it.
#include "ui/MySecureFieldEditor.h"

#include "ui/MySecureTextField.h"
#include "ui/Preferences.h"

#include <QTimer>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr QChar kBullet(u'\u25CF');

// The hide delay in whole milliseconds. Zero, negative and not-a-number delays hide at the timer's first
// chance; absurdly long ones are cut to the longest interval a QTimer takes.
int hideDelayMilliseconds(double seconds) {
    if (!(seconds > 0.0)) {
        return 0;
    }
    constexpr int kLongest = std::numeric_limits<int>::max();
    const double milliseconds = std::round(seconds * 1000.0);
    return milliseconds >= double(kLongest) ? kLongest : static_cast<int>(milliseconds);
}

// Whether position falls between the two halves of a surrogate pair.
bool splitsPair(const QString& text, int position) {
    return position > 0 && position < text.size() && text.at(position - 1).isHighSurrogate() &&
           text.at(position).isLowSurrogate();
}

} // namespace

MySecureFieldEditor::MySecureFieldEditor(QObject* parent) : QObject(parent), m_timer(new QTimer(this)) {
    m_timer->setObjectName(QStringLiteral("hideTimer"));
    m_timer->setSingleShot(true);
    // The delay is the user's setting; a coarse timer could shift it by up to 5 %.
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &MySecureFieldEditor::hideText);
}

void MySecureFieldEditor::insertText(MySecureTextField* field, const QString& text, Reveal reveal) {
    if (field->hasSelectedText()) {
        replaceRange(field, field->selectionStart(), field->selectionLength(), text, reveal);
    } else {
        replaceRange(field, field->cursorPosition(), 0, text, reveal);
    }
}

void MySecureFieldEditor::deleteText(MySecureTextField* field, Deletion deletion) {
    if (field->hasSelectedText()) {
        replaceRange(field, field->selectionStart(), field->selectionLength(), QString());
        return;
    }
    const int cursor = field->cursorPosition();
    const int length = int(field->text().size());
    switch (deletion) {
    case Deletion::Backward:
        if (cursor > 0) {
            replaceRange(field, cursor - 1, 1, QString());
        }
        break;
    case Deletion::Forward:
        if (cursor < length) {
            replaceRange(field, cursor, 1, QString());
        }
        break;
    case Deletion::ToStart:
        replaceRange(field, 0, cursor, QString());
        break;
    case Deletion::ToEnd:
        replaceRange(field, cursor, length - cursor, QString());
        break;
    }
}

bool MySecureFieldEditor::replaceRange(MySecureTextField* field, int start, int length,
                                       const QString& replacement, Reveal reveal) {
    // Half a surrogate pair in the real text would no longer be a character, nor have a UTF-8 form for
    // the key; a bullet cursor can stand between the halves where a readable one could not.
    const QString& hidden = field->hiddenStringValue();
    int end = start + length;
    if (length == 0 && splitsPair(hidden, start)) {
        start = end = start + 1;
    } else {
        start = splitsPair(hidden, start) ? start - 1 : start;
        end = splitsPair(hidden, end) ? end + 1 : end;
    }
    // The display holds no more than maxLength; the real text must stay as long as the display.
    QString text = replacement;
    const int room = std::max(0, field->maxLength() - (int(field->text().size()) - (end - start)));
    if (text.size() > room) {
        text.truncate(room);
        if (!text.isEmpty() && text.back().isHighSurrogate()) {
            text.chop(1);
        }
    }
    if (end == start && text.isEmpty()) {
        return false;
    }

    if (!field->textViewShouldChangeTextInRange(start, end - start, text)) {
        return false;
    }
    if (isShowing()) {
        hideText();
    }
    QString display = field->text();
    const int at = std::min(start, int(display.size()));
    display.replace(at, std::min(end - start, int(display.size()) - at),
                    bulletStringOfLength(int(text.size())));
    field->setStringValue(display);
    field->setCursorPosition(at + int(text.size()));
    // An edit of more than one character that was not typed (a paste, a drop) is never shown.
    if (reveal == Reveal::Yes && !text.isEmpty()) {
        field->setRevealed(at, text);
        m_field = field;
        scheduleHide();
    }
    return true;
}

void MySecureFieldEditor::hideText() {
    if (MySecureTextField* field = m_field.data()) {
        field->clearRevealed();
    }
    stopTimer();
}

QString MySecureFieldEditor::bulletStringOfLength(int n) {
    return n > 0 ? QString(n, kBullet) : QString();
}

void MySecureFieldEditor::stopTimer() {
    m_timer->stop();
}

bool MySecureFieldEditor::isShowing() const {
    return m_timer->isActive();
}

void MySecureFieldEditor::scheduleHide() {
    // Read at every edit, so that a changed preference applies from the next edit on.
    m_timer->start(hideDelayMilliseconds(double(characterHideSeconds())));
}
