// SPDX-License-Identifier: GPL-3.0-or-later
// The question asked when the user quits while files are being rewritten.
#pragma once

#include "ui/RunSummary.h"

#include <QMessageBox>

class QPushButton;
namespace engine {
class Cryptor;
}

// Window-modal on the main window. Its title names what the run is doing ("Quit while files are being
// encrypted?"), its text what each answer does to the files; Stop and Quit is the default, Escape keeps
// the run going. A check writes nothing and is never asked about.
class QuitQuestion : public QMessageBox {
    Q_OBJECT
public:
    explicit QuitQuestion(QWidget* parent);

    // Opens the question for a run of that kind.
    void ask(RunSummary::Kind kind);
    QPushButton* stopAndQuitButton() const { return m_stopAndQuit; }

    // The status bar's words while a stopped run finishes before quitting: the files still being written,
    // the first few by name ("Finishing a.txt and b.txt…"), or "Finishing…" when the engine names none.
    static QString finishingMessage(const engine::Cryptor& cryptor);

private:
    QPushButton* m_stopAndQuit;
};
