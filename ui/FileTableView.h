// SPDX-License-Identifier: GPL-3.0-or-later
// The file table as drawn: it says how to fill it while it is empty, and lights up under a drag it takes.
#pragma once

#include <QTableView>

class FileTableView : public QTableView {
    Q_OBJECT
public:
    explicit FileTableView(QWidget* parent = nullptr);

    // What the empty list shows inside itself.
    static QString emptyHint();

    // On while files are dragged over the list that it would take; the controller decides that.
    void setDropHighlighted(bool highlighted);
    bool isDropHighlighted() const { return m_dropHighlighted; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool m_dropHighlighted = false;
};
