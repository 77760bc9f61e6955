// SPDX-License-Identifier: GPL-3.0-or-later
// Brings the window to the front on behalf of a later launch, with the desktop's permission to do so.
#pragma once

#include <QByteArray>

class QWidget;

// Shows, raises and activates the window. A desktop that prevents focus stealing lets a window take the
// focus when it presents the activation token of the launch the user asked for, which a later launch
// forwards: on Wayland it goes to the compositor through XDG_ACTIVATION_TOKEN as Qt reads it; on X11 it is
// a startup-notification id, set on the window as _NET_STARTUP_ID, completed (so that the launch feedback
// ends) and its time stamp given with the request to activate. An empty token activates as usual.
void activateForLaunch(QWidget* window, const QByteArray& token);
