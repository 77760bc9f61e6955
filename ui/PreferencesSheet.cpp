// SPDX-License-Identifier: GPL-3.0-or-later
// The sheet that edits the two preferences: the hide delay of typed characters and the second entry.
#include "ui/PreferencesSheet.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleValidator>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

PreferencesSheet::PreferencesSheet(QWidget* parent)
    : QDialog(parent), m_secondsField(new QLineEdit(this)), m_reEnterCheckBox(new QCheckBox(this)) {
    setObjectName(QStringLiteral("preferencesSheet"));
    setWindowTitle(tr("Preferences"));
    setWindowModality(Qt::WindowModal);

    m_secondsField->setObjectName(QStringLiteral("secondsField"));
    m_secondsField->setValidator(new QDoubleValidator(m_secondsField));
    m_secondsField->setMaximumWidth(100);
    m_reEnterCheckBox->setObjectName(QStringLiteral("reEnterCheckBox"));
    m_reEnterCheckBox->setText(tr("&Ask for the passphrase twice before encrypting"));

    auto* secondsLabel = new QLabel(tr("&Show each typed character for (seconds):"), this);
    secondsLabel->setObjectName(QStringLiteral("secondsLabel"));
    secondsLabel->setBuddy(m_secondsField);

    auto* form = new QFormLayout;
    form->addRow(secondsLabel, m_secondsField);
    form->addRow(m_reEnterCheckBox);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->setObjectName(QStringLiteral("preferencesButtons"));
    m_okButton = buttons->button(QDialogButtonBox::Ok);
    m_okButton->setObjectName(QStringLiteral("preferencesOKButton"));
    m_okButton->setDefault(true);
    m_cancelButton = buttons->button(QDialogButtonBox::Cancel);
    m_cancelButton->setObjectName(QStringLiteral("preferencesCancelButton"));
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addSpacing(6);
    layout->addWidget(buttons);
}
