// SPDX-License-Identifier: GPL-3.0-or-later
// Catches the desktop's requests to open a file with the running application (QFileOpenEvent).
#include "ui/FileOpenFilter.h"

#include <QCoreApplication>
#include <QFileOpenEvent>

FileOpenFilter::FileOpenFilter(QObject* parent) : QObject(parent) {}

bool FileOpenFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FileOpen && watched == QCoreApplication::instance()) {
        const auto* open = static_cast<QFileOpenEvent*>(event);
        const QString path = open->file().isEmpty() ? open->url().toLocalFile() : open->file();
        if (!path.isEmpty()) {
            emit fileOpenRequested(path);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
