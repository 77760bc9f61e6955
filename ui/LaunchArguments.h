// SPDX-License-Identifier: GPL-3.0-or-later
// The files named on the command line, as the desktop passes them (the .desktop entry's %F).
#pragma once

#include <QStringList>

// Every argument after the program's name is a file: a path, relative ones taken from the current
// directory, or a file:// URL. The result holds absolute paths, in the order given.
QStringList filePathsFromArguments(const QStringList& arguments);
