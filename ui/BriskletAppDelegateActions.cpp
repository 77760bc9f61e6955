// SPDX-License-Identifier: GPL-3.0-or-later
// The application controller's actions and handlers: runs and their progress, the two sheets, removals and
// run reports.
#include "ui/BriskletAppDelegate.h"

#include "engine/Cryptor.h"
#include "engine/ReasonCode.h"
#include "engine/StatusCode.h"
#include "ui/AlreadyEncrypted.h"
#include "ui/ColorFeedbackView.h"
#include "ui/ConfirmationSheet.h"
#include "ui/DesktopNotifier.h"
#include "ui/FileSortModel.h"
#include "ui/FileTableModel.h"
#include "ui/ListFollower.h"
#include "ui/MainWindow.h"
#include "ui/MySecureTextField.h"
#include "ui/PassphraseChecker.h"
#include "ui/PassphraseRefusal.h"
#include "ui/Preferences.h"
#include "ui/PreferencesSheet.h"
#include "ui/QuitQuestion.h"
#include "ui/RunProgress.h"
#include "ui/RunSummary.h"
#include "ui/StrengthEstimate.h"

#include <QCheckBox>
#include <QItemSelectionModel>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>
#include <QTimer>

#include <algorithm>
#include <cstdint>
#include <set>
#include <string_view>
#include <utility>

namespace {

// The number as shown and typed in the user's locale; text that is no number counts as 0.
float floatValue(const QLineEdit* field) {
    bool ok = false;
    const float value = QLocale().toFloat(field->text().trimmed(), &ok);
    return ok ? value : 0.0f;
}

void setFloatValue(QLineEdit* field, float value) {
    field->setText(QLocale().toString(value));
}

std::u16string_view utf16(const QString& text) {
    return {reinterpret_cast<const char16_t*>(text.constData()), static_cast<size_t>(text.size())};
}

} // namespace

void BriskletAppDelegate::encrypt() {
    // The keys reach here only through enabled actions, but a call may come from anywhere.
    if (runInProgress() || m_cryptor->urlCount() == 0 || m_passPhraseField->hiddenStringValue().isEmpty()) {
        return;
    }
    // Without the second entry the sheet still comes up when it has something to warn about.
    const StrengthEstimate strength = StrengthEstimate::of(m_passPhraseField->hiddenStringValue());
    const AlreadyEncrypted alreadyEncrypted = AlreadyEncrypted::in(*m_cryptor);
    if (reEnterPassphrase() || strength.isWeak() || !alreadyEncrypted.isEmpty()) {
        m_confirmationSheet->setAsksAgain(reEnterPassphrase());
        m_confirmationSheet->setFileCount(static_cast<int>(m_cryptor->urlCount()));
        m_confirmationSheet->setStrength(strength);
        m_confirmationSheet->setAlreadyEncrypted(alreadyEncrypted.names());
        // The passphrase is looked at only when the sheet's OK is pressed.
        compareConfirmation();
        m_confirmationSheet->open();
        return;
    }
    startRun(Direction::Encrypt);
}

void BriskletAppDelegate::decrypt() {
    if (runInProgress()) {
        return;
    }
    startRun(Direction::Decrypt);
}

void BriskletAppDelegate::startRun(Direction direction, const std::set<int64_t>& skippedRows) {
    const QString& passphrase = m_passPhraseField->hiddenStringValue();
    if (passphrase.isEmpty()) {
        return;
    }
    if (const std::optional<QString> refusal = passphraseRefusal(passphrase)) {
        showMessage(*refusal);
        return;
    }
    // A menu entry's choice was for the batch it listed; after this run Return goes by the list again.
    m_chosenDirection = LaunchDirection::None;
    m_window->statusBar()->clearMessage();
    m_runKind = direction == Direction::Encrypt ? RunSummary::Kind::Encrypt : RunSummary::Kind::Decrypt;
    // Before the run is asked for: its first reports may come in before the call returns.
    m_tableModel->runStarting(direction == Direction::Encrypt ? RunDirection::Encrypt
                                                              : RunDirection::Decrypt);
    const std::optional<std::string> refusal =
        direction == Direction::Encrypt
            ? m_cryptor->encryptFilesUsingPassPhrase(utf16(passphrase), skippedRows)
            : m_cryptor->decryptFilesUsingPassPhrase(utf16(passphrase));
    // The run's size, skipped rows left out, is known as soon as the call returns.
    const bool started = !refusal && m_cryptor->runProgress().filesTotal > 0;
    if (!started) {
        // Nothing was queued, so no end of a run will come.
        m_tableModel->runEnded();
    } else {
        runDidStart();
    }
    if (refusal) {
        showMessage(QString::fromStdString(*refusal));
    } else if (!started && !skippedRows.empty()) {
        showMessage(tr("Nothing was encrypted: every listed file is encrypted already."));
    }
    updateControls();
}

// Files whose rewrite an earlier run left half done (a crash, a kill, a full disk) are completed from their
// waiting replacements before anything else, on the worker threads, as a run the window shows.
void BriskletAppDelegate::recoverInterruptedRewrites() {
    const uint64_t before = m_cryptor->urlCount();
    const std::optional<std::string> refusal = m_cryptor->recoverPendingRewrites();
    m_recovering = m_cryptor->urlCount() - before;
    if (refusal) {
        showMessage(QString::fromStdString(*refusal));
    }
    if (m_recovering == 0) {
        return;
    }
    m_runKind = RunSummary::Kind::Recovery;
    m_tableModel->runStarting(RunDirection::None, static_cast<int>(before));
    runDidStart();
    showMessage(tr("Completing %n file(s) that an interrupted run left unfinished…", nullptr,
                   static_cast<int>(m_recovering)));
}

void BriskletAppDelegate::stop() {
    if (!runInProgress() || m_stopRequested) {
        return;
    }
    m_stopRequested = true;
    if (m_checker->isRunning()) {
        m_checker->stop();
    } else {
        m_cryptor->stopRun();
    }
    showMessage(tr("Stopping: files being rewritten are finished first…"));
    updateControls();
}

void BriskletAppDelegate::runDidStart() {
    m_runInProgress = true;
    m_stopRequested = false;
    m_runClock.start();
    showProgress();
    m_window->setProgressShown(true);
    m_progressTimer->start();
}

void BriskletAppDelegate::showProgress() {
    const engine::Cryptor::RunProgress progress =
        m_checker->isRunning()
            ? engine::Cryptor::RunProgress{{}, uint64_t(m_checkAnswers), uint64_t(m_checkFiles)}
            : m_cryptor->runProgress();
    const RunProgressFigures figures = runProgressFigures(progress);
    m_progressWheel->setValue(figures.barValue);
    m_progressLabel->setText(figures.filesText);
    m_tableModel->progressChanged();
    if (m_quitting == Quitting::Finishing) {
        showMessage(QuitQuestion::finishingMessage(*m_cryptor));
    }
}

void BriskletAppDelegate::runDidEnd() {
    m_runInProgress = false;
    m_stopRequested = false;
    m_progressTimer->stop();
    m_window->setProgressShown(false);
    updateControls();
    if (m_quitting == Quitting::Finishing) {
        quitNow();
    }
}

void BriskletAppDelegate::removeAll() {
    if (runInProgress()) {
        return;
    }
    m_cryptor->removeAllURLs();
    reloadTable();
    updateControls();
}

void BriskletAppDelegate::removeSelected() {
    if (runInProgress()) {
        return;
    }
    const std::set<int64_t> rows = selectedCryptorRows();
    if (rows.empty()) {
        return;
    }
    // The row that follows the removed ones in the table's order becomes current, as in a file manager.
    int nextTableRow = m_filesTable->model()->rowCount();
    for (const QModelIndex& index : m_filesTable->selectionModel()->selectedRows()) {
        nextTableRow = std::min(nextTableRow, index.row());
    }
    m_cryptor->removeURLatIndexes(rows);
    reloadTable();
    refreshOrder();
    const int remaining = m_filesTable->model()->rowCount();
    if (remaining > 0) {
        const QModelIndex next = m_filesTable->model()->index(std::min(nextTableRow, remaining - 1), 0);
        m_filesTable->selectionModel()->setCurrentIndex(next, QItemSelectionModel::NoUpdate);
    }
    updateControls();
}

void BriskletAppDelegate::removeOKs() {
    if (runInProgress()) {
        return;
    }
    m_cryptor->removeAllOKs();
    reloadTable();
    updateControls();
}

void BriskletAppDelegate::cancelConfirmationSheet() {
    emptyConfirmationField();
    m_confirmationSheet->done(QDialog::Rejected);
}

void BriskletAppDelegate::confirmConfirmationSheet() {
    confirmEncryption(AlreadyEncryptedFiles::Skip);
}

void BriskletAppDelegate::encryptAgainFromConfirmationSheet() {
    confirmEncryption(AlreadyEncryptedFiles::EncryptAgain);
}

void BriskletAppDelegate::confirmEncryption(AlreadyEncryptedFiles choice) {
    emptyConfirmationField();
    m_confirmationSheet->done(QDialog::Accepted);
    // The sheet blocks the main window, but not every way to start a run; one run at a time.
    if (runInProgress()) {
        return;
    }
    // Looked at again now: files may have been listed while the sheet was open.
    startRun(Direction::Encrypt, choice == AlreadyEncryptedFiles::Skip
                                     ? AlreadyEncrypted::in(*m_cryptor).rows()
                                     : std::set<int64_t>{});
}

void BriskletAppDelegate::emptyConfirmationField() {
    m_confirmationField->setStringValue(QString());
    m_confirmationField->clearHiddenStringValue();
}

void BriskletAppDelegate::showPreferencesSheet() {
    setFloatValue(m_secondsField, characterHideSeconds());
    m_reEnterCheckBox->setChecked(reEnterPassphrase());
    m_preferencesSheet->open();
}

void BriskletAppDelegate::confirmPreferencesSheet() {
    setCharacterHideSeconds(floatValue(m_secondsField));
    setReEnterPassphrase(m_reEnterCheckBox->checkState() != Qt::Unchecked);
    m_preferencesSheet->done(QDialog::Accepted);
}

void BriskletAppDelegate::handleOperationResult() {
    reloadTable();
}

void BriskletAppDelegate::handleEndOfQueue() {
    reloadTable();
    if (m_cryptor->isBusy() || m_checker->isRunning()) {
        // A newer run started between this end and its delivery here; that run's end tidies up.
        return;
    }
    // Only now that the run is over do the rows follow their renamed files.
    ListFollower::followRenamedFiles(*m_cryptor);
    m_tableModel->runEnded();
    m_sortModel->refresh();
    if (std::exchange(m_recovering, 0) > 0) {
        // The recovery at launch used no passphrase; one the user typed meanwhile stays.
        showRecoveryOutcome();
    } else {
        emptyPassphraseField();
        if (m_stopRequested) {
            showStopOutcome();
        }
    }
    announceRunEnd();
    runDidEnd();
}

void BriskletAppDelegate::emptyPassphraseField() {
    m_passPhraseField->setStringValue(QString());
    m_passPhraseField->clearHiddenStringValue();
}

void BriskletAppDelegate::showStopOutcome() {
    int untouched = 0;
    const auto rows = static_cast<int64_t>(m_cryptor->urlCount());
    for (int64_t row = 0; row < rows; ++row) {
        untouched += m_cryptor->statusOnRow(row) == engine::StatusNone &&
                             hasReason(m_cryptor->reasonCodesOnRow(row), engine::ReasonCode::Stopped)
                         ? 1
                         : 0;
    }
    showMessage(tr("Stopped; %n file(s) left untouched.", nullptr, untouched));
}

void BriskletAppDelegate::announceRunEnd() {
    RunSummary summary(m_runKind);
    const auto rows = static_cast<int>(m_cryptor->urlCount());
    for (int row = 0; row < rows; ++row) {
        if (m_runKind == RunSummary::Kind::Check) {
            if (const std::optional<CheckAnswer> answer = m_tableModel->rowStatus(row).check) {
                summary.addCheckAnswer(*answer);
            }
        } else {
            summary.addRow(m_cryptor->statusOnRow(row), m_cryptor->reasonCodesOnRow(row));
        }
    }
    const QString text = summary.text();
    // A stop and the recovery at launch have said what happened in their own words.
    if (!m_stopRequested && m_runKind != RunSummary::Kind::Recovery && !text.isEmpty()) {
        showMessage(text);
    }
    constexpr qint64 kLongRunMs = 10000;
    const bool unseen =
        m_runClock.isValid() && m_runClock.elapsed() > kLongRunMs && !m_window->isActiveWindow();
    if (!text.isEmpty() && (unseen || m_quitting == Quitting::Finishing)) {
        m_notifier->notify(tr("Brisklet"), text);
    }
}

void BriskletAppDelegate::handlePassphraseUpdate(const void* object) {
    if (object == nullptr) {
        return;
    }
    m_feedbackView->giveFeedbackForString(static_cast<const MySecureTextField*>(object)->hiddenStringValue());
    if (object == static_cast<const void*>(m_confirmationField)) {
        compareConfirmation();
    } else if (object == static_cast<const void*>(m_passPhraseField)) {
        m_window->statusBar()->clearMessage();
        updateRunButtons();
    }
}

void BriskletAppDelegate::handlePassphraseDeletion(const void* object) {
    m_feedbackView->clearRect();
    if (object == static_cast<const void*>(m_confirmationField)) {
        compareConfirmation();
    } else if (object == static_cast<const void*>(m_passPhraseField)) {
        m_window->statusBar()->clearMessage();
        updateRunButtons();
    }
}

void BriskletAppDelegate::compareConfirmation() {
    m_confirmationSheet->compare(m_passPhraseField->hiddenStringValue(),
                                 m_confirmationField->hiddenStringValue());
}

void BriskletAppDelegate::showRecoveryOutcome() {
    int recovered = 0;
    int failed = 0;
    const auto rows = static_cast<int64_t>(m_cryptor->urlCount());
    for (int64_t row = 0; row < rows; ++row) {
        const bool isRecovery = hasReason(m_cryptor->reasonCodesOnRow(row), engine::ReasonCode::Recovered);
        recovered += isRecovery ? 1 : 0;
        failed += !isRecovery && m_cryptor->statusOnRow(row) == engine::StatusFailed ? 1 : 0;
    }
    // Two counts, so two sentences, each with its own plural form.
    showMessage(failed == 0
                    ? tr("Recovered %n file(s) that an interrupted run left unfinished.", nullptr, recovered)
                    : tr("Recovered %n file(s).", nullptr, recovered) + QLatin1Char(' ') +
                          tr("%n could not be recovered: see their rows.", nullptr, failed));
}

void BriskletAppDelegate::showMessage(const QString& message) {
    m_window->statusBar()->showMessage(message);
}
