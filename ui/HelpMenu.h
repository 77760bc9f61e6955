// SPDX-License-Identifier: GPL-3.0-or-later
// The Help menu: Keyboard Shortcuts and About, each opening its dialog over the main window.
#pragma once

#include <QList>
#include <QObject>

class QAction;
class QMainWindow;

// Adds the menu to the window's menu bar; the dialogs are made on first use, as children of the window,
// and opened window-modal. `commands` are the menu commands whose keys Keyboard Shortcuts lists.
class HelpMenu : public QObject {
    Q_OBJECT
public:
    HelpMenu(QMainWindow* window, QList<QAction*> commands);

private:
    void showShortcuts();
    void showAbout();

    QMainWindow* m_window;
    QList<QAction*> m_commands;
};
