// SPDX-License-Identifier: GPL-3.0-or-later
// A controller with its window, made afresh for every test, with its widgets found by object name.
#pragma once

#include "tests/ui/ui_test_support.h"
#include "ui/BriskletAppDelegate.h"
#include "ui/MainWindow.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <memory>

class QPushButton;
class QTableView;

namespace uitest {

// Test classes derive from it beside QObject: setUpSettings() in initTestCase, startTest() in init and
// endTest() in cleanup. Settings are isolated and reset for every test; files go to a scratch directory.
class DelegateFixture {
protected:
    void setUpSettings();
    // A new controller, launched, with nothing listed.
    void startTest();
    void endTest();

    // The named widget or action of the window or its sheets; a missing one ends the test program.
    template <typename T>
    T* find(const char* name) const {
        auto* found = m_delegate->window()->findChild<T*>(QString::fromLatin1(name));
        if (found == nullptr) {
            qFatal("no object named %s", name);
        }
        return found;
    }
    QTableView* table() const;
    QPushButton* button(const char* name) const;
    QStringList rows() const;
    // A row's text in the Status column, and its tone (FileTableModel::StatusToneRole).
    QString rowStatus(int row) const;
    int rowTone(int row) const;
    // Writes a file into the scratch directory and lists it as if opened with the application.
    QString addFile(const QString& name, const QByteArray& content);

    std::unique_ptr<IsolatedSettings> m_settings;
    std::unique_ptr<QTemporaryDir> m_files;
    std::unique_ptr<BriskletAppDelegate> m_delegate;
};

} // namespace uitest
