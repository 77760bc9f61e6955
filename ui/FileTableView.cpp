// SPDX-License-Identifier: GPL-3.0-or-later
// The file table as drawn: it says how to fill it while it is empty, and lights up under a drag it takes.
#include "ui/FileTableView.h"

#include <QPainter>
#include <QPen>

namespace {

constexpr int kHintMargin = 24;
constexpr int kHighlightWidth = 3;

} // namespace

FileTableView::FileTableView(QWidget* parent) : QTableView(parent) {}

QString FileTableView::emptyHint() {
    return tr("Drop files or folders here, or choose Add Files and Folders…");
}

void FileTableView::setDropHighlighted(bool highlighted) {
    if (m_dropHighlighted != highlighted) {
        m_dropHighlighted = highlighted;
        viewport()->update();
    }
}

void FileTableView::paintEvent(QPaintEvent* event) {
    QTableView::paintEvent(event);
    const bool empty = model() == nullptr || model()->rowCount() == 0;
    if (!empty && !m_dropHighlighted) {
        return;
    }
    QPainter painter(viewport());
    const QRect area = viewport()->rect();
    if (empty) {
        // The palette's placeholder colour, which the window keeps readable (ui/ReadablePalette.h).
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(area.adjusted(kHintMargin, kHintMargin, -kHintMargin, -kHintMargin),
                         Qt::AlignCenter | Qt::TextWordWrap, emptyHint());
    }
    if (m_dropHighlighted) {
        QPen pen(palette().color(QPalette::Highlight), kHighlightWidth);
        pen.setJoinStyle(Qt::MiterJoin);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        const int inset = kHighlightWidth / 2;
        painter.drawRect(area.adjusted(inset, inset, -inset - 1, -inset - 1));
    }
}
