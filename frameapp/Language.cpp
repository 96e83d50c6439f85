#include "Language.h"

#include <QRegularExpression>

namespace rq16::frameapp {

QStringList AvailableLanguages() {
    return {QStringLiteral("en"), QStringLiteral("de")};
}

QString SupportedLanguage(const QString& requested) {
    // Only the language part counts: "de_AT.UTF-8@euro" is German.
    QString language = requested.trimmed().toLower();
    const qsizetype cut = language.indexOf(QRegularExpression(QStringLiteral("[-_.@]")));
    if (cut >= 0) {
        language.truncate(cut);
    }
    return AvailableLanguages().contains(language) ? language : QString();
}

QString LanguageFromLocale(const EnvironmentLookup& environment) {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = environment(name);
        if (!value.isEmpty()) {
            const QString language = SupportedLanguage(value);
            return language.isEmpty() ? AvailableLanguages().constFirst() : language;
        }
    }
    return AvailableLanguages().constFirst();
}

QString LanguageFromLocale() {
    return LanguageFromLocale([](const char* name) { return qEnvironmentVariable(name); });
}

} // namespace rq16::frameapp
