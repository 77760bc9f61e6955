// SPDX-License-Identifier: GPL-3.0-or-later
// The file table's context menus: one for the rows it is opened on, one for the list as a whole.
#include "ui/FileTableMenu.h"

#include <QAction>
#include <QContextMenuEvent>
#include <QItemSelectionModel>
#include <QMenu>
#include <QPushButton>
#include <QTableView>

FileTableMenu::FileTableMenu(QTableView* table, QWidget* menuParent)
    : QObject(menuParent), m_table(table), m_rowMenu(new QMenu(menuParent)),
      m_listMenu(new QMenu(menuParent)) {
    m_rowMenu->setObjectName(QStringLiteral("filesTableMenu"));
    m_listMenu->setObjectName(QStringLiteral("filesListMenu"));
    m_table->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_table, &QWidget::customContextMenuRequested, this, &FileTableMenu::showAt);
    // The keyboard's request reaches the table itself, placed where the table's text cursor would be, which
    // for an item view without a current row is its first row: it is taken here instead.
    m_table->installEventFilter(this);
}

void FileTableMenu::addButtonToListMenu(QPushButton* button, const QString& text, const char* objectName) {
    auto* action = m_listMenu->addAction(text);
    action->setObjectName(QString::fromLatin1(objectName));
    connect(action, &QAction::triggered, button, &QPushButton::click);
    m_buttonActions.append({action, button});
}

bool FileTableMenu::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_table && event->type() == QEvent::ContextMenu &&
        static_cast<QContextMenuEvent*>(event)->reason() == QContextMenuEvent::Keyboard) {
        showForKeyboard();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void FileTableMenu::showAt(const QPoint& position) {
    const QModelIndex index = m_table->indexAt(position);
    if (!index.isValid()) {
        popup(m_listMenu, position);
        return;
    }
    QItemSelectionModel* selection = m_table->selectionModel();
    if (selection->isRowSelected(index.row(), QModelIndex())) {
        selection->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    } else {
        selection->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    }
    popup(m_rowMenu, position);
}

void FileTableMenu::showForKeyboard() {
    const QModelIndex current = m_table->currentIndex();
    if (!current.isValid()) {
        popup(m_listMenu, QPoint(0, 0));
        return;
    }
    m_table->scrollTo(current);
    showAt(m_table->visualRect(current).center());
}

void FileTableMenu::popup(QMenu* menu, const QPoint& position) {
    emit aboutToShow();
    for (const auto& [action, button] : m_buttonActions) {
        action->setEnabled(button->isEnabled());
    }
    menu->popup(m_table->viewport()->mapToGlobal(position));
}
