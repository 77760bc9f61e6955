// The sheet that asks for the passphrase a second time before an encryption run.
#include "ui/ConfirmationSheet.h"

#include "ui/MySecureTextField.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

ConfirmationSheet::ConfirmationSheet(QWidget* parent)
    : QDialog(parent), m_confirmationField(new MySecureTextField(this)) {
    setObjectName(QStringLiteral("confirmationSheet"));
    setWindowTitle(tr("Confirm Passphrase"));
    setWindowModality(Qt::WindowModal);

    auto* label = new QLabel(tr("Type the passphrase again to confirm it:"), this);
    label->setObjectName(QStringLiteral("confirmationLabel"));
    label->setBuddy(m_confirmationField);
    m_confirmationField->setObjectName(QStringLiteral("confirmationField"));
    m_confirmationField->setMinimumWidth(280);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("confirmationButtons"));
    m_okButton = buttons->button(QDialogButtonBox::Ok);
    m_okButton->setObjectName(QStringLiteral("confirmOKButton"));
    m_okButton->setDefault(true);
    m_cancelButton = buttons->button(QDialogButtonBox::Cancel);
    m_cancelButton->setObjectName(QStringLiteral("confirmCancelButton"));
    // Return in the field must reach the OK button, never Cancel.
    m_cancelButton->setAutoDefault(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(m_confirmationField);
    layout->addSpacing(6);
    layout->addWidget(buttons);
}

void ConfirmationSheet::reject() {
    emit cancelRequested();
}

void ConfirmationSheet::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    m_confirmationField->setFocus(Qt::OtherFocusReason);
}
