// SPDX-License-Identifier: GPL-3.0-or-later
// The application controller's Check: whether the passphrase opens each listed file, as a run that writes
// nothing and leaves every row's outcome in the Cryptor as it was.
#include "ui/BriskletAppDelegate.h"

#include "engine/Cryptor.h"
#include "engine/PassphraseCheck.h"
#include "engine/PassphraseForms.h"
#include "engine/RunKeys.h"
#include "platform/ErrorText.h"
#include "ui/FileSortModel.h"
#include "ui/FileTableModel.h"
#include "ui/MainWindow.h"
#include "ui/MySecureTextField.h"
#include "ui/PassphraseChecker.h"
#include "ui/PassphraseRefusal.h"

#include <QStatusBar>

#include <filesystem>
#include <vector>

namespace {

CheckAnswer answerOf(engine::CheckOutcome outcome) {
    switch (outcome) {
    case engine::CheckOutcome::Opens:
        return CheckAnswer::Opens;
    case engine::CheckOutcome::WrongPassphrase:
        return CheckAnswer::DoesNotOpen;
    case engine::CheckOutcome::NotEncrypted:
        return CheckAnswer::NotEncrypted;
    case engine::CheckOutcome::RewritePending:
        return CheckAnswer::RewritePending;
    case engine::CheckOutcome::Unreadable:
    case engine::CheckOutcome::SymbolicLink:
    case engine::CheckOutcome::NotRegularFile:
        break;
    }
    return CheckAnswer::Unreadable;
}

// Why a file that was not read was left alone, or the form of the passphrase that opened it, as the code a
// run would give it.
engine::Reason reasonOf(const engine::CheckResult& result) {
    switch (result.outcome) {
    case engine::CheckOutcome::Opens:
        if (result.form == engine::PassphraseForm::Nfc) {
            return {engine::ReasonCode::OpenedWithNfcForm, {}};
        }
        if (result.form == engine::PassphraseForm::Nfd) {
            return {engine::ReasonCode::OpenedWithNfdForm, {}};
        }
        return {};
    case engine::CheckOutcome::SymbolicLink:
        return {engine::ReasonCode::SymbolicLinkInFolder, {}};
    case engine::CheckOutcome::NotRegularFile:
        return {engine::ReasonCode::NotRegularFile, {}};
    case engine::CheckOutcome::Unreadable:
        if (result.error != 0) {
            return {engine::ReasonCode::SystemError, platform::errorText(result.error)};
        }
        return {};
    default:
        return {};
    }
}

} // namespace

void BriskletAppDelegate::check() {
    const QString& passphrase = m_passPhraseField->hiddenStringValue();
    if (runInProgress() || m_cryptor->urlCount() == 0 || passphrase.isEmpty()) {
        return;
    }
    m_window->statusBar()->clearMessage();
    if (const std::optional<QString> refused = passphraseRefusal(passphrase)) {
        showMessage(*refused);
        return;
    }
    // The field's text and its NFC and NFD forms, made by the engine in buffers it wipes: no QString copy.
    std::string refusal;
    auto keys = engine::RunKeys::forPassphrase(
        {reinterpret_cast<const char16_t*>(passphrase.constData()), static_cast<size_t>(passphrase.size())},
        twofish::DIR_DECRYPT, &refusal);
    if (!keys) {
        showMessage(QString::fromStdString(refusal));
        return;
    }

    // The rows as they are now; rows added during the check wait for the next run, and none can be removed
    // while it lasts, so an answer's row number stays right.
    std::vector<std::filesystem::path> files;
    const auto rows = static_cast<int64_t>(m_cryptor->urlCount());
    for (int64_t row = 0; row < rows; ++row) {
        files.push_back(m_cryptor->urlOnRow(row));
    }
    const int fileCount = static_cast<int>(files.size());
    // A check that cannot start leaves the rows as they were. Its answers reach this thread as queued
    // calls, so none is handled before the model below expects it.
    if (!m_checker->start(std::move(files), std::move(keys))) {
        showMessage(tr("The check could not be started."));
        return;
    }
    m_checkAnswers = 0;
    m_checkFiles = fileCount;
    m_runKind = RunSummary::Kind::Check;
    m_tableModel->checkStarting();
    runDidStart();
    updateControls();
}

void BriskletAppDelegate::handleCheckAnswer(int row, const engine::CheckResult& result) {
    ++m_checkAnswers;
    m_tableModel->setCheckAnswer(row, answerOf(result.outcome), reasonOf(result));
}

void BriskletAppDelegate::handleCheckEnd(bool stopped) {
    m_tableModel->checkEnded();
    m_sortModel->refresh();
    // Unlike a run that rewrites files, the passphrase stays: "Check, then Decrypt" needs it once more.
    if (stopped) {
        const int left = m_checkFiles - m_checkAnswers;
        showMessage(tr("Check stopped; %n file(s) not checked.", nullptr, left));
    } else if (m_stopRequested) {
        // The stop came after the last file: "Stopping…" would outlive what it announced.
        m_window->statusBar()->clearMessage();
    }
    announceRunEnd();
    runDidEnd();
}
