// SPDX-License-Identifier: GPL-3.0-or-later
// The file table's context menus: one for the rows it is opened on, one for the list as a whole.
#pragma once

#include <QList>
#include <QObject>

class QAction;
class QMenu;
class QPoint;
class QPushButton;
class QTableView;

// A right click on a row selects it as a file manager would (alone, unless it is already selected) and
// opens the rows' menu; a right click beside the rows opens the list's menu. The Menu key does the same
// for the current row, and opens the list's menu when there is none, rather than picking a row for the
// user. Menus are children of `menuParent`; the table is not owned.
class FileTableMenu : public QObject {
    Q_OBJECT
public:
    FileTableMenu(QTableView* table, QWidget* menuParent);

    QMenu* rowMenu() const { return m_rowMenu; }
    QMenu* listMenu() const { return m_listMenu; }
    // Adds to the list's menu an action that clicks `button`, enabled as the button is when the menu opens.
    void addButtonToListMenu(QPushButton* button, const QString& text, const char* objectName);

    // As a right click at `position`, in the table viewport's coordinates.
    void showAt(const QPoint& position);
    // As the Menu key: the current row's menu, or the list's.
    void showForKeyboard();

signals:
    // Right before a menu opens, so that the enabled states of its actions can be brought up to date.
    void aboutToShow();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void popup(QMenu* menu, const QPoint& position);

    QTableView* m_table;
    QMenu* m_rowMenu;
    QMenu* m_listMenu;
    QList<QPair<QAction*, QPushButton*>> m_buttonActions;
};
