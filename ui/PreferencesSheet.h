// SPDX-License-Identifier: GPL-3.0-or-later
// The sheet that edits the two preferences: the hide delay of typed characters and the second entry.
#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

// Window-modal over the main window (opened with open()). OK hands over to the controller, which stores
// both values; Cancel, Escape and the window's close button close it and store nothing. The controller
// fills the fields from the stored values each time it opens the sheet, so cancelled edits are gone.
class PreferencesSheet : public QDialog {
    Q_OBJECT
public:
    explicit PreferencesSheet(QWidget* parent = nullptr);

    // Seconds as a number, without bounds: 0 or less hides each character at once.
    QLineEdit* secondsField() const { return m_secondsField; }
    QCheckBox* reEnterCheckBox() const { return m_reEnterCheckBox; }
    QPushButton* okButton() const { return m_okButton; }
    QPushButton* cancelButton() const { return m_cancelButton; }

private:
    QLineEdit* m_secondsField;
    QCheckBox* m_reEnterCheckBox;
    QPushButton* m_okButton;
    QPushButton* m_cancelButton;
};
