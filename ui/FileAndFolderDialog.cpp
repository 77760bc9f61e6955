// An open dialog in which files and folders can be chosen together, several at once.
#include "ui/FileAndFolderDialog.h"

#include <QAbstractItemView>
#include <QFileInfo>
#include <QListView>
#include <QTreeView>

#include <algorithm>

FileAndFolderDialog::FileAndFolderDialog(QWidget* parent) : QFileDialog(parent) {
    setObjectName(QStringLiteral("openPanel"));
    setWindowTitle(tr("Add Files and Folders"));
    setOption(QFileDialog::DontUseNativeDialog);
    setFileMode(QFileDialog::ExistingFiles);
    setLabelText(QFileDialog::Accept, tr("&Add"));
    // The list and detail views share one selection; both must take several rows, folders among them.
    for (QAbstractItemView* view : {static_cast<QAbstractItemView*>(findChild<QListView*>("listView")),
                                    static_cast<QAbstractItemView*>(findChild<QTreeView*>("treeView"))}) {
        if (view != nullptr) {
            view->setSelectionMode(QAbstractItemView::ExtendedSelection);
        }
    }
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
    m_chosenUrls = urls;
    QDialog::accept();
}
