// SPDX-License-Identifier: GPL-3.0-or-later
// Edit ▸ Suggest a Passphrase…: six random words, their exact strength, and a way into the passphrase field.
#pragma once

#include <QDialog>
#include <QString>

class MySecureTextField;
class QAction;
class QLabel;
class QMenu;
class QPushButton;

// "Use These Words" puts the words into the main passphrase field as one edit, and nowhere else: not on a
// clipboard, not in the confirmation field, which the user still types. The words stay on screen until the
// dialog closes, so that they can be written down.
class SuggestionDialog : public QDialog {
    Q_OBJECT
public:
    // `field` is not owned and must outlive the dialog.
    SuggestionDialog(MySecureTextField* field, QWidget* parent);
    ~SuggestionDialog() override;

    // Adds "Suggest a Passphrase…" to `menu`; it opens the dialog, made on first use as a child of
    // `window`, window-modal, with fresh words each time.
    static QAction* addAction(QMenu* menu, QWidget* window, MySecureTextField* field);

    // Draws new words; says so, and disables Use These Words, when no random bytes could be had.
    void drawWords();
    QLabel* wordsLabel() const { return m_wordsLabel; }
    QPushButton* useButton() const { return m_useButton; }
    QPushButton* otherWordsButton() const { return m_otherWordsButton; }

    void done(int result) override;

private:
    void useWords();
    void forgetWords();

    MySecureTextField* m_field;
    QLabel* m_wordsLabel;
    QPushButton* m_useButton;
    QPushButton* m_otherWordsButton;
    QString m_words;
};
