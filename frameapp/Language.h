#pragma once
// The languages of the frame application and the views, how the frame
// application picks one, and the translations of its own texts and of Qt's.

#include <QString>
#include <QStringList>

namespace rq16::frameapp {

/// Languages with a complete set of texts, the fallback first.
QStringList AvailableLanguages();

/// "de", "de_DE.UTF-8", "DE-at" → "de"; an unavailable language → empty.
QString SupportedLanguage(const QString& requested);

/// The first of the user's languages, in the order of preference, that has
/// texts; the fallback when none has ("C", "fr_FR").
QString LanguageFromUiLanguages(const QStringList& uiLanguages);

/// The language of the session: LANGUAGE (a list, "fr:de"), then LC_ALL,
/// LC_MESSAGES and LANG, as QLocale::system().uiLanguages() gives them.
QString LanguageFromLocale();

/// Installs the translation of the frame application's texts and Qt's own
/// (its dialogs' buttons, the command line help) for `language`, replacing
/// the ones installed before; English, the language of the sources, needs
/// none. Every widget then receives a LanguageChange event.
void InstallTranslations(const QString& language);

} // namespace rq16::frameapp
