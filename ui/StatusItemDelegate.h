// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the file table's cells in their row's status colour, readable on the row's background.
#pragma once

#include <QStyledItemDelegate>

// The row's colour is worked out from the palette when the cell is drawn, once against the row's
// background (base or alternate base) and once against the selection highlight, so that a selected row
// keeps its colour and the words stay readable in light and dark palettes alike.
class StatusItemDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    // Public so that the colours a cell is drawn with can be checked without reading pixels.
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override;
};
