// SPDX-License-Identifier: GPL-3.0-or-later
// Every window test reads the window's English words, with the English catalogue's plural forms, whatever
// the language of the machine that runs it.
#include "ui/Translations.h"

#include <QCoreApplication>

namespace {

void installEnglish() {
    // Lives until the program ends; removing a catalogue from an application already gone does nothing.
    static Translations english;
    english.install(QLocale(QLocale::English));
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(installEnglish)
