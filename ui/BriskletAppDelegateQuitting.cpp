// SPDX-License-Identifier: GPL-3.0-or-later
// The application controller's way out: quitting asks while a run is in progress, and a stopped run is
// seen through to its end in the open window before the application ends.
#include "ui/BriskletAppDelegate.h"

#include "engine/Cryptor.h"
#include "ui/MainWindow.h"
#include "ui/PassphraseChecker.h"
#include "ui/QuitQuestion.h"

#include <QAbstractButton>
#include <QPushButton>

void BriskletAppDelegate::terminate() {
    switch (m_quitting) {
    case Quitting::No:
        break;
    case Quitting::Asking:
        m_quitQuestion->raise();
        return;
    case Quitting::Finishing:
    case Quitting::Now:
        return;
    }
    // A check writes nothing: it is stopped without a question, and its thread is joined as the controller
    // goes.
    if (!runInProgress() || (m_runKind == RunSummary::Kind::Check && !m_cryptor->isBusy())) {
        m_checker->stop();
        quitNow();
        return;
    }
    askToStopAndQuit();
}

void BriskletAppDelegate::askToStopAndQuit() {
    if (m_quitQuestion == nullptr) {
        m_quitQuestion = new QuitQuestion(m_window.get());
        connect(m_quitQuestion, &QDialog::finished, this, [this] {
            // A signal or a logout may have decided meanwhile; then the answer no longer matters.
            if (m_quitting != Quitting::Asking) {
                return;
            }
            m_quitting = Quitting::No;
            if (m_quitQuestion->clickedButton() == m_quitQuestion->stopAndQuitButton()) {
                stopAndQuit();
            }
        });
    }
    m_quitting = Quitting::Asking;
    m_quitQuestion->ask(m_runKind);
}

void BriskletAppDelegate::stopAndQuit() {
    if (m_quitting == Quitting::Finishing || m_quitting == Quitting::Now) {
        return;
    }
    const bool asking = m_quitting == Quitting::Asking;
    m_quitting = Quitting::Finishing;
    if (asking) {
        m_quitQuestion->reject();
    }
    if (!runInProgress()) {
        quitNow();
        return;
    }
    // No work goes on unseen: the window stays in view and says why it is still there.
    m_stopRequested = true;
    if (m_checker->isRunning()) {
        m_checker->stop();
    }
    m_cryptor->stopRun();
    m_window->setWindowState(m_window->windowState() & ~Qt::WindowMinimized);
    m_window->show();
    m_window->raise();
    showMessage(QuitQuestion::finishingMessage(*m_cryptor));
    updateControls();
}

void BriskletAppDelegate::sessionEnding() {
    // Quitting from inside the session manager's save request would cut its conversation short.
    if (runInProgress()) {
        stopAndQuit();
    }
}

void BriskletAppDelegate::quitNow() {
    m_quitting = Quitting::Now;
    m_quitter();
}

bool BriskletAppDelegate::windowMayClose() {
    if (m_quitting == Quitting::Now || !runInProgress()) {
        return true;
    }
    terminate();
    return m_quitting == Quitting::Now;
}

void BriskletAppDelegate::windowWillClose(QWidget* window) {
    if (window == m_window.get() && m_quitting != Quitting::Now) {
        // Nothing is running: windowMayClose() let the window close only then.
        quitNow();
    }
}
