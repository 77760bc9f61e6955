// SPDX-License-Identifier: GPL-3.0-or-later
// The window's words in the user's language: this program's catalogues, built into it, and Qt's own for
// the standard dialogs and buttons.
#include "ui/Translations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

namespace {

// Where qt_add_translations puts the compiled catalogues, so that a build tree runs translated too.
const QString kCatalogueFolder = QStringLiteral(":/i18n");
const QString kCatalogueName = QStringLiteral("brisklet");

} // namespace

Translations::Translations() = default;

Translations::~Translations() {
    remove();
}

QString Translations::install(const QLocale& locale) {
    remove();
    auto own = std::make_unique<QTranslator>();
    // QTranslator goes through the locale's UI languages in order (LANGUAGE first, then LC_ALL,
    // LC_MESSAGES or LANG), trying "brisklet_de_DE" before "brisklet_de".
    if (!own->load(locale, kCatalogueName, QStringLiteral("_"), kCatalogueFolder) &&
        !own->load(kCatalogueName + QStringLiteral("_en"), kCatalogueFolder)) {
        return QString();
    }
    QCoreApplication::installTranslator(own.get());
    m_own = std::move(own);
    const QString language = m_own->language().section(QLatin1Char('_'), 0, 0);

    // Qt's words only in the language chosen above: a German Cancel beside English buttons would be worse
    // than English throughout.
    auto qt = std::make_unique<QTranslator>();
    if (language != QLatin1String("en") &&
        qt->load(QStringLiteral("qtbase_") + language, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(qt.get());
        m_qt = std::move(qt);
    }
    return language;
}

void Translations::remove() {
    for (std::unique_ptr<QTranslator>* translator : {&m_qt, &m_own}) {
        if (*translator) {
            QCoreApplication::removeTranslator(translator->get());
            translator->reset();
        }
    }
}
