// An open dialog in which files and folders can be chosen together, several at once.
#pragma once

#include <QFileDialog>
#include <QList>
#include <QUrl>

// Qt's own widgets-based file dialog (a native one cannot be adjusted), in the mode that selects several
// existing files. Its OK button is taken to mean "add what is selected", folders included: where the
// plain dialog would open a selected folder, this one returns it. Double-clicking still enters a folder.
class FileAndFolderDialog : public QFileDialog {
    Q_OBJECT
public:
    explicit FileAndFolderDialog(QWidget* parent = nullptr);

    // What the user chose, files and folders, in selection order; empty unless accepted.
    QList<QUrl> chosenUrls() const { return m_chosenUrls; }

    void accept() override;

private:
    QList<QUrl> m_chosenUrls;
};
