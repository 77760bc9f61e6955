// SPDX-License-Identifier: GPL-3.0-or-later
// Help ▸ About: the program's version, its licence, in one line what its files are, and the word list's
// attribution.
#include "ui/AboutDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("aboutDialog"));
    setWindowTitle(tr("About Brisklet"));
    auto* name = new QLabel(QStringLiteral("<b>%1</b>").arg(nameAndVersion().toHtmlEscaped()), this);
    name->setObjectName(QStringLiteral("aboutNameLabel"));
    auto* purpose = new QLabel(tr("Encrypts files in place with a passphrase."), this);
    auto* format = new QLabel(formatLine(), this);
    format->setObjectName(QStringLiteral("aboutFormatLabel"));
    format->setWordWrap(true);
    auto* licence = new QLabel(tr("Licence: GPL-3.0-or-later. This program comes with no warranty; you may "
                                  "share and change it under the terms of the GNU General Public License, "
                                  "version 3 or any later version."),
                               this);
    licence->setObjectName(QStringLiteral("aboutLicenceLabel"));
    licence->setWordWrap(true);
    auto* wordList = new QLabel(tr("Suggested passphrases use the EFF long word list, © 2016 Electronic "
                                   "Frontier Foundation, under the Creative Commons Attribution 3.0 licence "
                                   "(CC BY 3.0)."),
                                this);
    wordList->setObjectName(QStringLiteral("aboutWordListLabel"));
    wordList->setWordWrap(true);
    for (QLabel* label : {name, purpose, format, licence, wordList}) {
        label->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    }
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(name);
    layout->addWidget(purpose);
    layout->addWidget(format);
    layout->addWidget(licence);
    layout->addWidget(wordList);
    layout->addWidget(buttons);
    setMinimumWidth(420);
}

QString AboutDialog::nameAndVersion() {
    return tr("Brisklet %1").arg(QStringLiteral(BRISKLET_VERSION));
}

QString AboutDialog::formatLine() {
    return tr("Twofish-256 in CBC keyed by the JH-256 digest of the passphrase; no header, no salt.");
}
