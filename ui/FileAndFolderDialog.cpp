// SPDX-License-Identifier: GPL-3.0-or-later
// An open dialog in which files and folders can be chosen together, several at once.
#include "ui/FileAndFolderDialog.h"

#include <QAbstractItemView>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTreeView>

#include <algorithm>

namespace {

// The session's memory of the folder last added from; empty until then.
QString& lastFolder() {
    static QString folder;
    return folder;
}

} // namespace

FileAndFolderDialog::FileAndFolderDialog(QWidget* parent) : QFileDialog(parent) {
    setObjectName(QStringLiteral("openPanel"));
    setWindowTitle(tr("Add Files and Folders"));
    setOption(QFileDialog::DontUseNativeDialog);
    setFileMode(QFileDialog::ExistingFiles);
    setLabelText(QFileDialog::Accept, tr("&Add"));
    setDirectory(startFolder());
    // The list and detail views share one selection; both must take several rows, folders among them.
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(findChild<QListView*>("listView")),
                                    static_cast<QAbstractItemView*>(findChild<QTreeView*>("treeView"))}) {
        if (view != nullptr) {
            view->setSelectionMode(QAbstractItemView::ExtendedSelection);
        }
    }
    // The plain dialog leaves folders out of the name field and so disables its button for a selection of
    // folders alone, or names it Open; here it adds them. Connected after the dialog's own handlers, so
    // that this has the last word.
    if (auto* list = findChild<QListView*>("listView");
        list != nullptr && list->selectionModel() != nullptr) {
        connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
                &FileAndFolderDialog::updateAddButton, Qt::QueuedConnection);
    }
    if (auto* name = findChild<QLineEdit*>("fileNameEdit")) {
        connect(name, &QLineEdit::textChanged, this, &FileAndFolderDialog::updateAddButton,
                Qt::QueuedConnection);
    }
}

void FileAndFolderDialog::updateAddButton() {
    auto* buttons = findChild<QDialogButtonBox*>("buttonBox");
    QPushButton* add = buttons != nullptr ? buttons->button(QDialogButtonBox::Open) : nullptr;
    if (add == nullptr) {
        return;
    }
    add->setText(tr("&Add"));
    const QList<QUrl> urls = selectedUrls();
    const bool allExist = std::all_of(urls.begin(), urls.end(), [](const QUrl& url) {
        return url.isLocalFile() && QFileInfo::exists(url.toLocalFile());
    });
    if (!urls.isEmpty() && allExist) {
        add->setEnabled(true);
    }
}

QString FileAndFolderDialog::startFolder() {
    const QString& folder = lastFolder();
    return !folder.isEmpty() && QFileInfo(folder).isDir() ? folder : QDir::homePath();
}

void FileAndFolderDialog::keyPressEvent(QKeyEvent* event) {
    // The views and the name field pass Enter on to the dialog, whose default button then accepts; a press
    // of the Add button itself never comes this way.
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    m_byEnter = enter;
    QFileDialog::keyPressEvent(event);
    m_byEnter = false;
}

void FileAndFolderDialog::accept() {
    const QList<QUrl> urls = selectedUrls();
    const bool allExist = std::all_of(urls.begin(), urls.end(), [](const QUrl& url) {
        return url.isLocalFile() && QFileInfo::exists(url.toLocalFile());
    });
    if (urls.isEmpty() || !allExist) {
        // Let the plain dialog explain a typed name that does not exist.
        QFileDialog::accept();
        return;
    }
    if (m_byEnter && urls.size() == 1 && QFileInfo(urls.first().toLocalFile()).isDir()) {
        setDirectory(urls.first().toLocalFile());
        return;
    }
    m_chosenUrls = urls;
    lastFolder() = directory().absolutePath();
    QDialog::accept();
}
