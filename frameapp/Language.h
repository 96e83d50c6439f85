#pragma once
// The languages of the views' texts and how the frame application picks one.

#include <QString>
#include <QStringList>

#include <functional>

namespace rq16::frameapp {

/// Languages with a complete set of texts, the fallback first.
QStringList AvailableLanguages();

/// "de", "de_DE.UTF-8", "DE-at" → "de"; an unavailable language → empty.
QString SupportedLanguage(const QString& requested);

/// Reads an environment variable; empty when it is not set.
using EnvironmentLookup = std::function<QString(const char* name)>;

/// The language of the system locale, as the C library picks the language of
/// messages: LC_ALL, then LC_MESSAGES, then LANG, the first one that is set.
/// A locale without a text set of its own ("C", "fr_FR") gives "en".
QString LanguageFromLocale(const EnvironmentLookup& environment);
QString LanguageFromLocale();

} // namespace rq16::frameapp
