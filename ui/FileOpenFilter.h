// SPDX-License-Identifier: GPL-3.0-or-later
// Catches the desktop's requests to open a file with the running application (QFileOpenEvent).
#pragma once

#include <QObject>
#include <QString>

// Installed on the application object; it passes every other event on untouched.
class FileOpenFilter : public QObject {
    Q_OBJECT
public:
    explicit FileOpenFilter(QObject* parent = nullptr);

signals:
    void fileOpenRequested(const QString& path);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
};
