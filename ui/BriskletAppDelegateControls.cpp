// SPDX-License-Identifier: GPL-3.0-or-later
// The application controller's control states and the file table's menu: what is enabled when, and why not.
#include "ui/BriskletAppDelegate.h"

#include "engine/Cryptor.h"
#include "engine/StatusCode.h"
#include "ui/ListKind.h"
#include "ui/MainWindow.h"
#include "ui/MySecureTextField.h"
#include "ui/PassphraseChecker.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPushButton>
#include <QTableView>

namespace {

bool anyRowProcessed(const engine::Cryptor& cryptor) {
    const auto rows = static_cast<int64_t>(cryptor.urlCount());
    for (int64_t row = 0; row < rows; ++row) {
        if (cryptor.statusOnRow(row) != engine::StatusNone) {
            return true;
        }
    }
    return false;
}

} // namespace

bool BriskletAppDelegate::runInProgress() const {
    return m_runInProgress || m_cryptor->isBusy() || m_checker->isRunning();
}

void BriskletAppDelegate::updateControls() {
    updateRemoveButtons();
    updateRunButtons();
}

void BriskletAppDelegate::updateRemoveButtons() {
    // A run refers to its rows by number: no row may go while one is in progress.
    const bool idle = !runInProgress();
    const bool selection = m_filesTable->selectionModel()->hasSelection();
    m_removeAllButton->setEnabled(idle && m_cryptor->urlCount() > 0);
    m_removeSelectedButton->setEnabled(idle && selection);
    m_removeAction->setEnabled(idle && selection);
    m_removeOKsButton->setEnabled(idle && anyRowProcessed(*m_cryptor));
}

void BriskletAppDelegate::updateRunButtons() {
    if (m_cryptor->urlCount() == 0) {
        m_chosenDirection = LaunchDirection::None;
    }
    QString hint;
    if (runInProgress()) {
        hint = tr("Wait until the files being processed are done, or stop the run.");
    } else if (m_cryptor->urlCount() == 0) {
        hint = tr("Add files first: drop them on the list or choose Add Files and Folders….");
    } else if (m_passPhraseField->hiddenStringValue().isEmpty()) {
        hint = tr("Type the passphrase to encrypt, decrypt or check the listed files.");
    }
    const bool ready = hint.isEmpty();
    for (QAction* action : {m_encryptAction, m_decryptAction, m_checkAction}) {
        action->setEnabled(ready);
        action->setStatusTip(hint);
    }
    if (ready) {
        m_checkAction->setStatusTip(tr("Tell for each listed file whether the passphrase opens it, changing "
                                       "nothing"));
    }
    // Once asked to stop, a run has nothing more to stop; it is ending.
    const bool stoppable = runInProgress() && !m_stopRequested && m_quitting != Quitting::Finishing;
    m_stopAction->setEnabled(stoppable);
    m_suggestAction->setEnabled(!runInProgress());
    m_stopButton->setEnabled(stoppable);
    m_encryptButton->setEnabled(ready);
    m_decryptButton->setEnabled(ready);
    m_checkButton->setEnabled(ready);
    m_checkButton->setToolTip(ready ? m_checkAction->statusTip() : hint);
    m_encryptButton->setToolTip(ready ? tr("Encrypt every listed file with the passphrase") : hint);
    m_decryptButton->setToolTip(ready ? tr("Decrypt every listed file with the passphrase") : hint);
    m_encryptButton->setDefault(m_chosenDirection == LaunchDirection::Encrypt);
    m_decryptButton->setDefault(m_chosenDirection == LaunchDirection::Decrypt);
    if (m_chosenDirection == LaunchDirection::Encrypt && !runInProgress()) {
        hint = tr("Type the passphrase, then press Return to encrypt");
    } else if (m_chosenDirection == LaunchDirection::Decrypt && !runInProgress()) {
        hint = tr("Type the passphrase, then press Return to decrypt");
    } else if (ready && listKind(*m_cryptor) == ListKind::Mixed) {
        hint =
            tr("The list holds encrypted and plain files: Return does nothing; choose Encrypt or Decrypt.");
    }
    // During a run its progress says enough.
    m_window->runHintLabel()->setText(runInProgress() ? QString() : hint);
}

void BriskletAppDelegate::runForReturn() {
    if (m_chosenDirection == LaunchDirection::Encrypt) {
        encrypt();
        return;
    }
    if (m_chosenDirection == LaunchDirection::Decrypt) {
        decrypt();
        return;
    }
    switch (listKind(*m_cryptor)) {
    case ListKind::AllEncrypted:
        decrypt();
        break;
    case ListKind::NoneEncrypted:
        encrypt();
        break;
    case ListKind::Empty:
    case ListKind::Mixed:
        break;
    }
}

void BriskletAppDelegate::showSelectedInFolder() {
    QItemSelectionModel* selection = m_filesTable->selectionModel();
    int row = -1;
    const QModelIndex current = m_filesTable->currentIndex();
    if (current.isValid() && selection->isRowSelected(current.row(), QModelIndex())) {
        row = current.row();
    } else if (const QModelIndexList rows = selection->selectedRows(); !rows.isEmpty()) {
        row = rows.first().row();
    }
    if (row < 0) {
        return;
    }
    row = cryptorRow(row);
    if (row < 0 || static_cast<uint64_t>(row) >= m_cryptor->urlCount()) {
        return;
    }
    const QString file = QFile::decodeName(QByteArray::fromStdString(m_cryptor->urlOnRow(row).string()));
    const QString folder = QFileInfo(file).absolutePath();
    if (!m_urlOpener(QUrl::fromLocalFile(folder))) {
        showMessage(tr("No application could open the folder %1").arg(folder));
    }
}
