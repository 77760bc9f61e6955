// SPDX-License-Identifier: GPL-3.0-or-later
// Draws the file table's cells in their row's status colour, readable on the row's background.
#include "ui/StatusItemDelegate.h"

#include "ui/FileTableModel.h"
#include "ui/StatusColors.h"

void StatusItemDelegate::initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const {
    QStyledItemDelegate::initStyleOption(option, index);
    if (index.column() == FileTableModel::StatusColumn) {
        // The words that matter come first ("Encrypted, but not renamed: ..."); names keep eliding in the
        // middle, where their extensions survive.
        option->textElideMode = Qt::ElideRight;
    }
    const QVariant tone = index.data(FileTableModel::StatusToneRole);
    if (!tone.isValid()) {
        return;
    }
    const auto rowTone = static_cast<StatusTone>(tone.toInt());
    const QPalette::ColorRole rowBackground =
        option->features.testFlag(QStyleOptionViewItem::Alternate) ? QPalette::AlternateBase : QPalette::Base;
    for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
        const QColor text = toneColor(rowTone, option->palette.color(group, rowBackground));
        if (!text.isValid()) {
            return;
        }
        option->palette.setColor(group, QPalette::Text, text);
        // Styles draw selected text in HighlightedText, which would drop the colour altogether.
        option->palette.setColor(group, QPalette::HighlightedText,
                                 toneColor(rowTone, option->palette.color(group, QPalette::Highlight)));
    }
}
