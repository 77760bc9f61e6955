// SPDX-License-Identifier: GPL-3.0-or-later
// The sheet that asks for the passphrase a second time before an encryption run.
#include "ui/ConfirmationSheet.h"

#include "ui/MySecureTextField.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

ConfirmationSheet::ConfirmationSheet(QWidget* parent)
    : QDialog(parent), m_confirmationField(new MySecureTextField(this)) {
    setObjectName(QStringLiteral("confirmationSheet"));
    setWindowTitle(tr("Confirm Passphrase"));
    setWindowModality(Qt::WindowModal);

    m_summaryLabel = new QLabel(this);
    m_summaryLabel->setObjectName(QStringLiteral("summaryLabel"));
    m_summaryLabel->setWordWrap(true);
    auto* label = new QLabel(tr("&Type the passphrase again to confirm it:"), this);
    label->setObjectName(QStringLiteral("confirmationLabel"));
    label->setBuddy(m_confirmationField);
    m_confirmationField->setObjectName(QStringLiteral("confirmationField"));
    m_confirmationField->setMinimumWidth(280);

    m_mismatchLabel = new QLabel(tr("The passphrases do not match"), this);
    m_mismatchLabel->setObjectName(QStringLiteral("mismatchLabel"));
    // Its line stays reserved, so that the sheet does not change height while the user types.
    QSizePolicy policy = m_mismatchLabel->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    m_mismatchLabel->setSizePolicy(policy);
    m_mismatchLabel->hide();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("confirmationButtons"));
    m_okButton = buttons->button(QDialogButtonBox::Ok);
    m_okButton->setObjectName(QStringLiteral("confirmOKButton"));
    m_okButton->setDefault(true);
    m_cancelButton = buttons->button(QDialogButtonBox::Cancel);
    m_cancelButton->setObjectName(QStringLiteral("confirmCancelButton"));
    // Return in the field must reach the OK button, never Cancel.
    m_cancelButton->setAutoDefault(false);

    // Return on a mismatch: OK is disabled and ignores it, so the sheet says why nothing happens.
    connect(m_confirmationField, &QLineEdit::returnPressed, this, [this] {
        if (m_mismatch) {
            setMismatchShown(true);
        }
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_summaryLabel);
    layout->addSpacing(6);
    layout->addWidget(label);
    layout->addWidget(m_confirmationField);
    layout->addWidget(m_mismatchLabel);
    layout->addSpacing(6);
    layout->addWidget(buttons);
}

void ConfirmationSheet::setMismatchShown(bool shown) {
    m_mismatchLabel->setVisible(shown);
    // A screen reader hears the words where they are written, on the field it is in.
    m_confirmationField->setAccessibleDescription(shown ? m_mismatchLabel->text() : QString());
}

void ConfirmationSheet::setFileCount(int count) {
    m_summaryLabel->setText(tr(
        "Encrypt %n file(s) in place. Without this passphrase they cannot be opened again.", nullptr, count));
}

void ConfirmationSheet::compare(const QString& passphrase, const QString& confirmation) {
    const bool match = confirmation == passphrase;
    m_okButton->setEnabled(match);
    m_mismatch = !match && !confirmation.isEmpty();
    setMismatchShown(m_mismatch && confirmation.size() >= passphrase.size());
}

void ConfirmationSheet::reject() {
    emit cancelRequested();
}

void ConfirmationSheet::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_confirmationField->setFocus(Qt::OtherFocusReason);
}
