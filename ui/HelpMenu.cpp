// SPDX-License-Identifier: GPL-3.0-or-later
// The Help menu: Keyboard Shortcuts and About, each opening its dialog over the main window.
#include "ui/HelpMenu.h"

#include "ui/AboutDialog.h"
#include "ui/ShortcutsDialog.h"

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>

#include <utility>

HelpMenu::HelpMenu(QMainWindow* window, QList<QAction*> commands)
    : QObject(window), m_window(window), m_commands(std::move(commands)) {
    QMenu* menu = window->menuBar()->addMenu(tr("&Help"));
    menu->setObjectName(QStringLiteral("helpMenu"));
    QAction* shortcuts = menu->addAction(tr("&Keyboard Shortcuts"));
    shortcuts->setObjectName(QStringLiteral("shortcutsAction"));
    connect(shortcuts, &QAction::triggered, this, &HelpMenu::showShortcuts);
    QAction* about = menu->addAction(tr("&About Brisklet"));
    about->setObjectName(QStringLiteral("aboutAction"));
    about->setMenuRole(QAction::AboutRole);
    connect(about, &QAction::triggered, this, &HelpMenu::showAbout);
}

void HelpMenu::showShortcuts() {
    auto* dialog = m_window->findChild<ShortcutsDialog*>();
    if (dialog == nullptr) {
        dialog = new ShortcutsDialog(m_commands, m_window);
        dialog->setWindowModality(Qt::WindowModal);
    }
    dialog->open();
}

void HelpMenu::showAbout() {
    auto* dialog = m_window->findChild<AboutDialog*>();
    if (dialog == nullptr) {
        dialog = new AboutDialog(m_window);
        dialog->setWindowModality(Qt::WindowModal);
    }
    dialog->open();
}
