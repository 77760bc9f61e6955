// The sheet that edits the two preferences: the hide delay of typed characters and the second entry.
#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

// Window-modal over the main window (opened with open()). It has no cancel: only OK closes it, and the
// controller stores both values then. Escape does nothing.
class PreferencesSheet : public QDialog {
    Q_OBJECT
public:
    explicit PreferencesSheet(QWidget* parent = nullptr);

    // Seconds as a number, without bounds: 0 or less hides each character at once.
    QLineEdit* secondsField() const { return m_secondsField; }
    QCheckBox* reEnterCheckBox() const { return m_reEnterCheckBox; }
    QPushButton* okButton() const { return m_okButton; }

    // Escape and closing the window leave the sheet open.
    void reject() override;

private:
    QLineEdit* m_secondsField;
    QCheckBox* m_reEnterCheckBox;
    QPushButton* m_okButton;
};
