// SPDX-License-Identifier: GPL-3.0-or-later
// The sheet that asks for the passphrase a second time before an encryption run.
#pragma once

#include <QDialog>

class MySecureTextField;
class QLabel;
class QPushButton;

// Window-modal over the main window (opened with open()). The sheet decides nothing itself: OK, Cancel,
// Escape and the window's close button are handed to the controller, which empties the field and ends
// the sheet.
class ConfirmationSheet : public QDialog {
    Q_OBJECT
public:
    explicit ConfirmationSheet(QWidget* parent = nullptr);

    MySecureTextField* confirmationField() const { return m_confirmationField; }
    // The default button: Return presses it while it is enabled and does nothing while it is not.
    QPushButton* okButton() const { return m_okButton; }
    QPushButton* cancelButton() const { return m_cancelButton; }
    // "Encrypt 9 files in place. Without this passphrase they cannot be opened again."
    QLabel* summaryLabel() const { return m_summaryLabel; }
    void setFileCount(int count);
    // "The passphrases do not match": shown only once the entry is as long as the passphrase or longer,
    // or when Return is pressed on a mismatch, so that no one is told off halfway through typing.
    QLabel* mismatchLabel() const { return m_mismatchLabel; }
    void setMismatchShown(bool shown);
    // Enables OK exactly while the two are equal, and says that they differ when it is time to.
    void compare(const QString& passphrase, const QString& confirmation);

    // Escape and closing the window ask for the cancel action instead of closing the sheet directly.
    void reject() override;

signals:
    void cancelRequested();

protected:
    void showEvent(QShowEvent* event) override;

private:
    MySecureTextField* m_confirmationField;
    QPushButton* m_okButton;
    QPushButton* m_cancelButton;
    QLabel* m_mismatchLabel;
    QLabel* m_summaryLabel;
    bool m_mismatch = false; // the entry is not empty and differs from the passphrase
};
