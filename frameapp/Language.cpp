#include "Language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QTranslator>

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

QString LanguageFromUiLanguages(const QStringList& uiLanguages) {
    for (const QString& candidate : uiLanguages) {
        if (const QString language = SupportedLanguage(candidate); !language.isEmpty()) {
            return language;
        }
    }
    return AvailableLanguages().constFirst();
}

QString LanguageFromLocale() {
    return LanguageFromUiLanguages(QLocale::system().uiLanguages());
}

void InstallTranslations(const QString& language) {
    static QTranslator own;
    static QTranslator qt;
    QCoreApplication::removeTranslator(&own);
    QCoreApplication::removeTranslator(&qt);
    if (language == AvailableLanguages().constFirst()) {
        return;
    }
    if (own.load(QStringLiteral(":/i18n/rq16frame_") + language)) {
        QCoreApplication::installTranslator(&own);
    }
    // Qt's translations come with the system's Qt; without them Qt's own
    // buttons stay English.
    if (qt.load(QStringLiteral("qtbase_") + language,
                QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QCoreApplication::installTranslator(&qt);
    }
}

} // namespace rq16::frameapp
