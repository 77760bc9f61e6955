// The application controller's actions and handlers: runs, the two sheets, removals and run reports.
#include "ui/BriskletAppDelegate.h"

#include "engine/Cryptor.h"
#include "ui/ColorFeedbackView.h"
#include "ui/ConfirmationSheet.h"
#include "ui/FileTableModel.h"
#include "ui/MainWindow.h"
#include "ui/MySecureTextField.h"
#include "ui/Preferences.h"
#include "ui/PreferencesSheet.h"

#include <QCheckBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QLocale>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTableView>

#include <cstdint>
#include <set>
#include <string_view>

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
    if (m_cryptor->isBusy()) {
        return;
    }
    if (reEnterPassphrase()) {
        // The passphrase is looked at only when the sheet's OK is pressed.
        compareConfirmation();
        m_confirmationSheet->open();
        return;
    }
    startRun(Direction::Encrypt);
}

void BriskletAppDelegate::decrypt() {
    if (m_cryptor->isBusy()) {
        return;
    }
    startRun(Direction::Decrypt);
}

void BriskletAppDelegate::startRun(Direction direction) {
    const QString& passphrase = m_passPhraseField->hiddenStringValue();
    if (passphrase.isEmpty()) {
        return;
    }
    const uint64_t rows = m_cryptor->urlCount();
    const std::array<bool, 3> removeStates = removeButtonStates();
    m_window->statusBar()->clearMessage();
    m_progressWheel->show();
    disableAllRemoveButtons();
    const std::optional<std::string> refusal =
        direction == Direction::Encrypt ? m_cryptor->encryptFilesUsingPassPhrase(utf16(passphrase))
                                        : m_cryptor->decryptFilesUsingPassPhrase(utf16(passphrase));
    if (refusal || rows == 0) {
        // Nothing was queued, so no end of a run will come to undo the start.
        m_progressWheel->hide();
        restoreRemoveButtons(removeStates);
    }
    if (refusal) {
        showMessage(QString::fromStdString(*refusal));
    }
}

void BriskletAppDelegate::removeAll() {
    if (m_cryptor->isBusy()) {
        return;
    }
    m_cryptor->removeAllURLs();
    reloadTable();
    disableAllRemoveButtons();
}

void BriskletAppDelegate::removeSelected() {
    if (m_cryptor->isBusy()) {
        return;
    }
    std::set<int64_t> rows;
    for (const QModelIndex& index : m_filesTable->selectionModel()->selectedRows()) {
        rows.insert(index.row());
    }
    m_cryptor->removeURLatIndexes(rows);
    reloadTable();
    if (m_cryptor->urlCount() == 0) {
        m_removeAllButton->setEnabled(false);
    }
}

void BriskletAppDelegate::removeOKs() {
    if (m_cryptor->isBusy()) {
        return;
    }
    m_cryptor->removeAllOKs();
    reloadTable();
    m_removeOKsButton->setEnabled(false);
    if (m_cryptor->urlCount() == 0) {
        m_removeAllButton->setEnabled(false);
    }
}

void BriskletAppDelegate::cancelConfirmationSheet() {
    emptyConfirmationField();
    m_confirmationSheet->done(QDialog::Rejected);
}

void BriskletAppDelegate::confirmConfirmationSheet() {
    emptyConfirmationField();
    m_confirmationSheet->done(QDialog::Accepted);
    // The sheet blocks the main window, but not every way to start a run; one run at a time.
    if (m_cryptor->isBusy()) {
        return;
    }
    startRun(Direction::Encrypt);
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
    if (m_cryptor->isBusy()) {
        // A newer run started between this end and its delivery here; that run's end tidies up.
        return;
    }
    m_progressWheel->hide();
    enableAppropriateRemoveButtons();
    m_passPhraseField->setStringValue(QString());
    m_passPhraseField->clearHiddenStringValue();
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
    }
}

void BriskletAppDelegate::handlePassphraseDeletion(const void* object) {
    m_feedbackView->clearRect();
    if (object == static_cast<const void*>(m_confirmationField)) {
        compareConfirmation();
    } else if (object == static_cast<const void*>(m_passPhraseField)) {
        m_window->statusBar()->clearMessage();
    }
}

void BriskletAppDelegate::compareConfirmation() {
    m_confirmOKButton->setEnabled(m_confirmationField->hiddenStringValue() ==
                                  m_passPhraseField->hiddenStringValue());
}

void BriskletAppDelegate::showMessage(const QString& message) {
    m_window->statusBar()->showMessage(message);
}

void BriskletAppDelegate::disableAllRemoveButtons() {
    m_removeAllButton->setEnabled(false);
    m_removeOKsButton->setEnabled(false);
    m_removeSelectedButton->setEnabled(false);
}

void BriskletAppDelegate::enableAppropriateRemoveButtons() {
    if (m_cryptor->urlCount() > 0) {
        m_removeAllButton->setEnabled(true);
        m_removeOKsButton->setEnabled(true);
    }
    if (m_filesTable->selectionModel()->hasSelection()) {
        m_removeSelectedButton->setEnabled(true);
    }
}

std::array<bool, 3> BriskletAppDelegate::removeButtonStates() const {
    return {m_removeAllButton->isEnabled(), m_removeOKsButton->isEnabled(),
            m_removeSelectedButton->isEnabled()};
}

void BriskletAppDelegate::restoreRemoveButtons(const std::array<bool, 3>& states) {
    m_removeAllButton->setEnabled(states[0]);
    m_removeOKsButton->setEnabled(states[1]);
    m_removeSelectedButton->setEnabled(states[2]);
}
