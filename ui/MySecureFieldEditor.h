// SPDX-License-Identifier: GPL-3.0-or-later
// The one editing object of every secure field: applies each edit, shows it briefly, then masks it.
#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class MySecureTextField;
class QTimer;

// A secure field hands every edit over to its editor, which asks the field to decide it
// (MySecureTextField::textViewShouldChangeTextInRange) and, once accepted, changes the display itself: the
// new text stays readable until the hide timer fires, the next accepted edit arrives or the field loses the
// focus; everything else is bullets. One editor serves all secure fields, so at most one edit is readable.
class MySecureFieldEditor : public QObject {
    Q_OBJECT

public:
    // What a deletion key removes when nothing is selected. The display is bullets, so like a password
    // field the text counts as one word: the word deletions reach the start or the end.
    enum class Deletion { Backward, Forward, ToStart, ToEnd };

    // Typing shows its text for the hide delay; a paste, a middle click or a drop is masked at once, as is
    // text set past the editor. An input method's commit is typing.
    enum class Reveal { Yes, No };

    explicit MySecureFieldEditor(QObject* parent = nullptr);

    // Replaces the field's selection by text, or inserts text at its cursor.
    void insertText(MySecureTextField* field, const QString& text, Reveal reveal = Reveal::Yes);
    // Removes the field's selection, or the stretch beside the cursor that the deletion names.
    void deleteText(MySecureTextField* field, Deletion deletion);
    // The one edit everything above comes down to: replaces [start, start + length) of the display and of
    // the real text. A range that splits a character outside the Basic Multilingual Plane is widened to the
    // whole character (an insertion moves behind it), and text beyond the field's maxLength is dropped.
    // False, with nothing changed, for an empty edit or one the field refuses.
    bool replaceRange(MySecureTextField* field, int start, int length, const QString& replacement,
                      Reveal reveal = Reveal::Yes);

    // Turns the readable text of the last edit into bullets, keeping the cursor and selection.
    void hideText();
    // n bullets (U+25CF); empty for n <= 0.
    static QString bulletStringOfLength(int n);
    void stopTimer();
    // A hide timer is pending: the last edit is still readable.
    bool isShowing() const;

private:
    void scheduleHide();

    QTimer* m_timer;                     // single shot, named "hideTimer"
    QPointer<MySecureTextField> m_field; // the field of the last accepted edit
};
