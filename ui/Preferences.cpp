// SPDX-License-Identifier: GPL-3.0-or-later
// The two user preferences, read and written through QSettings with their registered defaults.
#include "ui/Preferences.h"

#include <QSettings>

float characterHideSeconds() {
    return QSettings().value(kCharacterHideSeconds, 1.0f).toFloat();
}

bool reEnterPassphrase() {
    return QSettings().value(kReEnterPassphrase, true).toBool();
}

void setCharacterHideSeconds(float seconds) {
    QSettings().setValue(kCharacterHideSeconds, seconds);
}

void setReEnterPassphrase(bool reEnter) {
    QSettings().setValue(kReEnterPassphrase, reEnter);
}
