// SPDX-License-Identifier: GPL-3.0-or-later
// The sheet before an encryption run: it says what will happen, warns, and asks for the passphrase again.
#pragma once

#include <QDialog>
#include <QStringList>

class MySecureTextField;
class QLabel;
class QPushButton;
class StrengthEstimate;

// Window-modal over the main window (opened with open()). The sheet decides nothing itself: OK, Encrypt
// Them Again, Cancel, Escape and the window's close button are handed to the controller, which empties the
// field and ends the sheet. It warns and never blocks: a weak passphrase or files already encrypted leave
// the buttons as the confirmation alone decides them.
class ConfirmationSheet : public QDialog {
    Q_OBJECT
public:
    // Files already encrypted are named up to this many, then counted.
    static constexpr int kNamesShown = 3;

    explicit ConfirmationSheet(QWidget* parent = nullptr);

    MySecureTextField* confirmationField() const { return m_confirmationField; }
    // The default button: Return presses it while it is enabled and does nothing while it is not. With
    // files already encrypted it reads "Skip Them": the run leaves those files out.
    QPushButton* okButton() const { return m_okButton; }
    // Shown only with files already encrypted: the run encrypts them too, a second time.
    QPushButton* encryptAgainButton() const { return m_encryptAgainButton; }
    QPushButton* cancelButton() const { return m_cancelButton; }
    // "Encrypt 9 files in place. Without this passphrase they cannot be opened again."
    QLabel* summaryLabel() const { return m_summaryLabel; }
    void setFileCount(int count);
    // Without the second entry the sheet only warns: no field, and OK enabled.
    void setAsksAgain(bool asksAgain);
    bool asksAgain() const { return m_asksAgain; }
    // The estimated time to guess the passphrase, a warning when that is short, and the assumption behind.
    QLabel* strengthLabel() const { return m_strengthLabel; }
    void setStrength(const StrengthEstimate& strength);
    // Names the listed files that are encrypted already (the first kNamesShown, then "and N more") and
    // offers to skip them; an empty list hides the warning and its button.
    QLabel* alreadyEncryptedLabel() const { return m_alreadyEncryptedLabel; }
    void setAlreadyEncrypted(const QStringList& names);
    // "The passphrases do not match": shown only once the entry is as long as the passphrase or longer,
    // or when Return is pressed on a mismatch, so that no one is told off halfway through typing.
    QLabel* mismatchLabel() const { return m_mismatchLabel; }
    void setMismatchShown(bool shown);
    // Enables OK exactly while the two are equal (always, when the sheet does not ask again), and says
    // that they differ when it is time to.
    void compare(const QString& passphrase, const QString& confirmation);

    // Escape and closing the window ask for the cancel action instead of closing the sheet directly.
    void reject() override;

signals:
    void cancelRequested();

protected:
    void showEvent(QShowEvent* event) override;

private:
    MySecureTextField* m_confirmationField;
    QWidget* m_confirmationGroup;
    QLabel* m_confirmationLabel;
    QPushButton* m_okButton;
    QPushButton* m_encryptAgainButton;
    QPushButton* m_cancelButton;
    QLabel* m_mismatchLabel;
    QLabel* m_summaryLabel;
    QLabel* m_strengthLabel;
    QLabel* m_assumptionLabel;
    QLabel* m_alreadyEncryptedLabel;
    QString m_okText;
    bool m_asksAgain = true;
    bool m_mismatch = false; // the entry is not empty and differs from the passphrase
};
