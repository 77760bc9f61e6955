// SPDX-License-Identifier: GPL-3.0-or-later
// Help ▸ About: the program's version, its licence, in one line what its files are, and the word list's
// attribution.
#pragma once

#include <QDialog>

class AboutDialog : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);

    // "Brisklet 0.1.0".
    static QString nameAndVersion();
    // The encrypted format in one line, for those who must know what keeps their files.
    static QString formatLine();
};
