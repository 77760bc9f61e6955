// SPDX-License-Identifier: GPL-3.0-or-later
// Turns the signals that ask a desktop program to end (SIGTERM, SIGHUP, SIGINT) into a Qt signal, so that
// a logout or a kill stops a run the way quitting does instead of ending it mid-rewrite.
#pragma once

#include <QObject>

class QSocketNotifier;

// One per process: the handlers write to a socket pair that a notifier reads on the main thread.
class QuitSignals : public QObject {
    Q_OBJECT
public:
    explicit QuitSignals(QObject* parent = nullptr);
    ~QuitSignals() override;

signals:
    void quitRequested();

private:
    void drain();

    QSocketNotifier* m_notifier = nullptr;
};
