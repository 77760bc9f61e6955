// SPDX-License-Identifier: GPL-3.0-or-later
// The command line as the desktop and the file managers' menus pass it: an optional direction, then files.
#pragma once

#include "ui/LaunchRequest.h"

#include <QByteArrayList>
#include <QString>

struct LaunchArguments {
    LaunchRequest request;
    // Why the command line makes no sense (both directions asked for); empty when it does.
    QString error;
};

// The arguments as the program received them, program name first, left over once Qt has taken its own.
// `--encrypt` or `--decrypt` preselects that direction; `--` ends the options, so that a file named
// `--encrypt` can still be given. Every other argument is a file: a path, a relative one taken from the
// current directory, or a file:// URL, whose percent-escapes may stand for any bytes. Empty arguments
// and URLs of other hosts or schemes are left out. The paths come back absolute and in order, and their
// bytes are kept as given.
LaunchArguments parseLaunchArguments(const QByteArrayList& arguments);
