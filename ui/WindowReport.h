// SPDX-License-Identifier: GPL-3.0-or-later
// What the window offers, as lines of text, for tests that drive the real program from outside.
#pragma once

#include <QByteArray>

class BriskletAppDelegate;

// With BRISKLET_WINDOW_REPORT=1 the program prints this on standard output once launched and after every
// hand-off from a later launch:
//   window: default=<object name of the default button, or none>
//   window: focus=<object name of the widget that has the window's focus, or none>
//   window: hint=<the hint line>
//   window: running=<yes or no>
//   window: row=<listed path, its bytes as they are>     (one line per listed file, in the list's order)
//   window: end
QByteArray windowReport(const BriskletAppDelegate& delegate);
