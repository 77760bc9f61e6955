// SPDX-License-Identifier: GPL-3.0-or-later
// The window's words in the user's language: this program's catalogues, built into it, and Qt's own for
// the standard dialogs and buttons.
#pragma once

#include <QLocale>
#include <QString>

#include <memory>

class QTranslator;

// Keeps its catalogues installed in the application for as long as it lives; make it before any window
// and let it outlive them, since widgets take their words when they are made.
class Translations {
public:
    Translations();
    ~Translations();
    Translations(const Translations&) = delete;
    Translations& operator=(const Translations&) = delete;

    // Installs the catalogue of the first of `locale`'s UI languages that this program is translated into,
    // and Qt's catalogue for that language where the system has one, in place of what an earlier call
    // installed. A language without a catalogue falls back to English, whose catalogue still gives the
    // plural forms ("1 file", "2 files"). Returns the catalogue's language ("de", "en", ...); empty, with
    // the source texts in use, if not even English could be loaded.
    QString install(const QLocale& locale = QLocale::system());

private:
    void remove();

    std::unique_ptr<QTranslator> m_own;
    std::unique_ptr<QTranslator> m_qt;
};
