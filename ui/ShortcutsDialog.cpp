// SPDX-License-Identifier: GPL-3.0-or-later
// Help ▸ Keyboard Shortcuts: every key the window answers to, with what it does.
#include "ui/ShortcutsDialog.h"

#include <QAction>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeySequence>
#include <QStringList>
#include <QTableWidget>
#include <QVBoxLayout>

#include <utility>

namespace {

// "&Add Files and Folders…" -> "Add Files and Folders".
QString commandName(QString text) {
    text.remove(QLatin1Char('&'));
    if (text.endsWith(QChar(0x2026))) {
        text.chop(1);
    }
    return text;
}

} // namespace

ShortcutsDialog::ShortcutsDialog(const QList<QAction*>& commands, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("shortcutsDialog"));
    setWindowTitle(tr("Keyboard Shortcuts"));

    QList<std::pair<QString, QString>> rows;
    for (const QAction* action : commands) {
        QStringList keys;
        for (const QKeySequence& key : action->shortcuts()) {
            keys.append(key.toString(QKeySequence::NativeText));
        }
        if (!keys.isEmpty()) {
            rows.append({commandName(action->text()), keys.join(tr(" or "))});
        }
    }
    rows.append({tr("Encrypt or Decrypt, as the list calls for (in the passphrase field)"), tr("Return")});
    rows.append({tr("Remove the selected files (in the list)"), tr("Delete or Backspace")});
    rows.append({tr("The list's menu: of the current file, or of the whole list"), tr("Menu")});
    rows.append({tr("Move between the passphrase, the buttons and the list"), tr("Tab, Shift+Tab")});

    auto* table = new QTableWidget(int(rows.size()), 2, this);
    table->setObjectName(QStringLiteral("shortcutsTable"));
    table->setHorizontalHeaderLabels({tr("Command"), tr("Keys")});
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setTabKeyNavigation(false);
    for (int row = 0; row < rows.size(); ++row) {
        table->setItem(row, 0, new QTableWidgetItem(rows[row].first));
        table->setItem(row, 1, new QTableWidgetItem(rows[row].second));
    }
    table->horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    table->horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(table);
    layout->addWidget(buttons);
    resize(560, 380);
}
