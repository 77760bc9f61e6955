// SPDX-License-Identifier: GPL-3.0-or-later
// The sheet before an encryption run: it says what will happen, warns, and asks for the passphrase again.
#include "ui/ConfirmationSheet.h"

#include "ui/MySecureTextField.h"
#include "ui/StrengthEstimate.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLabel* wrappingLabel(const char* name, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(QString::fromLatin1(name));
    label->setWordWrap(true);
    return label;
}

} // namespace

ConfirmationSheet::ConfirmationSheet(QWidget* parent)
    : QDialog(parent), m_confirmationField(new MySecureTextField(this)) {
    setObjectName(QStringLiteral("confirmationSheet"));
    setWindowTitle(tr("Confirm Passphrase"));
    setWindowModality(Qt::WindowModal);

    m_summaryLabel = wrappingLabel("summaryLabel", this);
    m_strengthLabel = wrappingLabel("strengthLabel", this);
    m_assumptionLabel = wrappingLabel("assumptionLabel", this);
    m_assumptionLabel->setText(StrengthEstimate::assumption());
    m_assumptionLabel->setForegroundRole(QPalette::PlaceholderText);
    m_alreadyEncryptedLabel = wrappingLabel("alreadyEncryptedLabel", this);
    m_alreadyEncryptedLabel->hide();
    // The second entry as one piece, which takes no room at all while the sheet only warns.
    m_confirmationGroup = new QWidget(this);
    m_confirmationLabel = new QLabel(tr("&Type the passphrase again to confirm it:"), m_confirmationGroup);
    m_confirmationLabel->setObjectName(QStringLiteral("confirmationLabel"));
    m_confirmationLabel->setBuddy(m_confirmationField);
    m_confirmationField->setObjectName(QStringLiteral("confirmationField"));
    m_confirmationField->setMinimumWidth(280);

    m_mismatchLabel = new QLabel(tr("The passphrases do not match"), m_confirmationGroup);
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
    m_okText = m_okButton->text();
    m_encryptAgainButton = buttons->addButton(tr("Encrypt Them &Again"), QDialogButtonBox::AcceptRole);
    m_encryptAgainButton->setObjectName(QStringLiteral("encryptAgainButton"));
    m_encryptAgainButton->hide();
    m_cancelButton = buttons->button(QDialogButtonBox::Cancel);
    m_cancelButton->setObjectName(QStringLiteral("confirmCancelButton"));
    // Return in the field must reach the default button, never another one.
    m_cancelButton->setAutoDefault(false);
    m_encryptAgainButton->setAutoDefault(false);

    // Return on a mismatch: OK is disabled and ignores it, so the sheet says why nothing happens.
    connect(m_confirmationField, &QLineEdit::returnPressed, this, [this] {
        if (m_mismatch) {
            setMismatchShown(true);
        }
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_summaryLabel);
    layout->addSpacing(6);
    layout->addWidget(m_strengthLabel);
    layout->addWidget(m_assumptionLabel);
    layout->addWidget(m_alreadyEncryptedLabel);
    auto* confirmation = new QVBoxLayout(m_confirmationGroup);
    confirmation->setContentsMargins(0, 6, 0, 6);
    confirmation->addWidget(m_confirmationLabel);
    confirmation->addWidget(m_confirmationField);
    confirmation->addWidget(m_mismatchLabel);
    layout->addWidget(m_confirmationGroup);
    layout->addWidget(buttons);
    setMinimumWidth(420);
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

void ConfirmationSheet::setAsksAgain(bool asksAgain) {
    m_asksAgain = asksAgain;
    setWindowTitle(asksAgain ? tr("Confirm Passphrase") : tr("Before Encrypting"));
    m_confirmationGroup->setVisible(asksAgain);
    if (!asksAgain) {
        setMismatchShown(false);
    }
}

void ConfirmationSheet::setStrength(const StrengthEstimate& strength) {
    m_strengthLabel->setText(strength.verdict());
    QFont font = m_strengthLabel->font();
    font.setBold(strength.isWeak());
    m_strengthLabel->setFont(font);
}

void ConfirmationSheet::setAlreadyEncrypted(const QStringList& names) {
    const bool any = !names.isEmpty();
    m_alreadyEncryptedLabel->setVisible(any);
    m_encryptAgainButton->setVisible(any);
    m_okButton->setText(any ? tr("&Skip Them") : m_okText);
    if (!any) {
        m_alreadyEncryptedLabel->clear();
        return;
    }
    const auto count = static_cast<int>(names.size());
    QString listed;
    if (count > kNamesShown) {
        listed = tr("%1 and %n more", nullptr, count - kNamesShown)
                     .arg(QStringList(names.mid(0, kNamesShown)).join(QStringLiteral(", ")));
    } else if (count > 1) {
        listed = tr("%1 and %2")
                     .arg(QStringList(names.mid(0, count - 1)).join(QStringLiteral(", ")), names.last());
    } else {
        listed = names.first();
    }
    m_alreadyEncryptedLabel->setText(
        count == 1 ? tr("Already encrypted (1 file): %1. Skip Them leaves it as it is; Encrypt Them Again "
                        "encrypts it a second time, and it then needs two decryptions.")
                         .arg(listed)
                   : tr("Already encrypted (%n files): %1. Skip Them leaves them as they are; Encrypt Them "
                        "Again encrypts them a second time, and each then needs two decryptions.",
                        nullptr, count)
                         .arg(listed));
}

void ConfirmationSheet::compare(const QString& passphrase, const QString& confirmation) {
    const bool match = !m_asksAgain || confirmation == passphrase;
    m_okButton->setEnabled(match);
    m_encryptAgainButton->setEnabled(match);
    m_mismatch = !match && !confirmation.isEmpty();
    setMismatchShown(m_mismatch && confirmation.size() >= passphrase.size());
}

void ConfirmationSheet::reject() {
    emit cancelRequested();
}

void ConfirmationSheet::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // Fitted to what it shows this time: the warnings come and go from one encryption to the next.
    adjustSize();
    if (m_asksAgain) {
        m_confirmationField->setFocus(Qt::OtherFocusReason);
    } else {
        m_okButton->setFocus(Qt::OtherFocusReason);
    }
}
