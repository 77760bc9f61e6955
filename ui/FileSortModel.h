// SPDX-License-Identifier: GPL-3.0-or-later
// The file table's order: as listed, or sorted by file, folder or status, with failures first.
#pragma once

#include <QCollator>
#include <QSortFilterProxyModel>

// Sits between the table and FileTableModel. It never re-sorts on its own (a run's reports would make rows
// jump under the pointer); refresh() applies the chosen order again once a run has ended or the list has
// changed. Every row it shows maps back to its Cryptor row through mapToSource().
class FileSortModel : public QSortFilterProxyModel {
    Q_OBJECT
public:
    explicit FileSortModel(QObject* parent = nullptr);

    // Sorts again by the column and order chosen last; the listed order while none is chosen.
    void refresh();

protected:
    // Names and folders compare as a person reads them; the Status column puts failures first, then
    // cautions, then rows without an outcome, then successes, each group by its words.
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    QCollator m_collator;
};
