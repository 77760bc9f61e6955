// SPDX-License-Identifier: GPL-3.0-or-later
// An open dialog in which files and folders can be chosen together, several at once.
#pragma once

#include <QFileDialog>
#include <QList>
#include <QString>
#include <QUrl>

// Qt's own widgets-based file dialog (a native one cannot be adjusted), in the mode that selects several
// existing files. Its Add button adds what is selected, folders included, where the plain dialog would
// open a selected folder; Enter opens one selected folder, as in any file dialog, and adds anything else.
// Double-clicking enters a folder. Each dialog starts in the folder the last accepted one was in during
// this session, the home folder at first.
class FileAndFolderDialog : public QFileDialog {
    Q_OBJECT
public:
    explicit FileAndFolderDialog(QWidget* parent = nullptr);

    // What the user chose, files and folders, in selection order; empty unless accepted.
    QList<QUrl> chosenUrls() const { return m_chosenUrls; }

    void accept() override;

    // Where the next dialog starts; kept for the process only, never stored.
    static QString startFolder();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    // Enables Add, under that name, whenever what is selected exists, folders alone included.
    void updateAddButton();

    QList<QUrl> m_chosenUrls;
    bool m_byEnter = false; // accept() comes from Enter rather than from the Add button
};
