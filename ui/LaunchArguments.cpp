// SPDX-License-Identifier: GPL-3.0-or-later
// The command line as the desktop and the file managers' menus pass it: an optional direction, then files.
#include "ui/LaunchArguments.h"

#include <QCoreApplication>
#include <QUrl>

#include <filesystem>
#include <optional>
#include <string>

namespace {

// The URL's path with its escapes undone byte by byte: QUrl would read them as UTF-8 and lose the rest.
std::optional<QByteArray> localPathOfUrl(const QByteArray& argument) {
    const QUrl url = QUrl::fromEncoded(argument, QUrl::TolerantMode);
    if (!url.isValid() || !url.isLocalFile()) {
        return std::nullopt;
    }
    const QString host = url.host();
    if (!host.isEmpty() && host != QLatin1String("localhost")) {
        return std::nullopt;
    }
    return QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1());
}

QByteArray absolute(const QByteArray& path) {
    std::error_code error;
    const std::filesystem::path given(path.toStdString());
    std::filesystem::path full = std::filesystem::absolute(given, error);
    if (error) {
        full = given;
    }
    return QByteArray::fromStdString(full.lexically_normal().string());
}

} // namespace

LaunchArguments parseLaunchArguments(const QByteArrayList& arguments) {
    LaunchArguments parsed;
    bool optionsEnded = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QByteArray& argument = arguments.at(i);
        if (!optionsEnded && (argument == "--encrypt" || argument == "--decrypt")) {
            const LaunchDirection direction =
                argument == "--encrypt" ? LaunchDirection::Encrypt : LaunchDirection::Decrypt;
            if (parsed.request.direction != LaunchDirection::None && parsed.request.direction != direction) {
                parsed.error = QCoreApplication::translate(
                    "LaunchArguments", "--encrypt and --decrypt cannot be given together");
            }
            parsed.request.direction = direction;
            continue;
        }
        if (!optionsEnded && argument == "--") {
            optionsEnded = true;
            continue;
        }
        std::optional<QByteArray> path = argument;
        if (argument.startsWith("file:")) {
            path = localPathOfUrl(argument);
        }
        if (path && !path->isEmpty()) {
            parsed.request.paths.push_back(absolute(*path));
        }
    }
    return parsed;
}
