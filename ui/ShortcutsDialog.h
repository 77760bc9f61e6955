// SPDX-License-Identifier: GPL-3.0-or-later
// Help ▸ Keyboard Shortcuts: every key the window answers to, with what it does.
#pragma once

#include <QDialog>
#include <QList>

class QAction;

// The menu commands' keys are read from their actions when the dialog is made, so that the list cannot
// drift from the keys in force; keys that belong to no menu command follow them.
class ShortcutsDialog : public QDialog {
    Q_OBJECT
public:
    ShortcutsDialog(const QList<QAction*>& commands, QWidget* parent = nullptr);
};
