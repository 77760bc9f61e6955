// SPDX-License-Identifier: GPL-3.0-or-later
// The file table's order: as listed, or sorted by file, folder or status, with failures first.
#include "ui/FileSortModel.h"

#include "ui/FileTableModel.h"
#include "ui/StatusColors.h"

namespace {

// Lower comes first when the Status column is sorted in ascending order.
int toneRank(StatusTone tone) {
    switch (tone) {
    case StatusTone::Failure:
        return 0;
    case StatusTone::Caution:
        return 1;
    case StatusTone::Neutral:
        return 2;
    case StatusTone::Success:
        return 3;
    }
    return 2;
}

} // namespace

FileSortModel::FileSortModel(QObject* parent) : QSortFilterProxyModel(parent) {
    setDynamicSortFilter(false);
    setSortRole(Qt::DisplayRole);
    m_collator.setNumericMode(true);
    m_collator.setCaseSensitivity(Qt::CaseInsensitive);
}

void FileSortModel::refresh() {
    if (sortColumn() >= 0) {
        sort(sortColumn(), sortOrder());
    }
}

bool FileSortModel::lessThan(const QModelIndex& left, const QModelIndex& right) const {
    if (left.column() == FileTableModel::StatusColumn) {
        const int leftRank =
            toneRank(static_cast<StatusTone>(left.data(FileTableModel::StatusToneRole).toInt()));
        const int rightRank =
            toneRank(static_cast<StatusTone>(right.data(FileTableModel::StatusToneRole).toInt()));
        if (leftRank != rightRank) {
            return leftRank < rightRank;
        }
    }
    const int order = m_collator.compare(left.data().toString(), right.data().toString());
    // Equal words keep the listed order.
    return order != 0 ? order < 0 : left.row() < right.row();
}
