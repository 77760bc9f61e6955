// SPDX-License-Identifier: GPL-3.0-or-later
// The files named on the command line, as the desktop passes them (the .desktop entry's %F).
#include "ui/LaunchArguments.h"

#include <QFileInfo>
#include <QUrl>

QStringList filePathsFromArguments(const QStringList& arguments) {
    QStringList paths;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments.at(i);
        if (argument.isEmpty()) {
            continue;
        }
        const QString path =
            argument.startsWith(QStringLiteral("file:")) ? QUrl(argument).toLocalFile() : argument;
        if (!path.isEmpty()) {
            paths.append(QFileInfo(path).absoluteFilePath());
        }
    }
    return paths;
}
