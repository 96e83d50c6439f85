#include "AppFolder.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

#include <dlfcn.h>

namespace rq16 {

QString ApplicationFolder() {
    const QString overridden = qEnvironmentVariable("RQ16_APP_FOLDER");
    if (!overridden.isEmpty()) {
        return QDir::cleanPath(overridden);
    }
    // The object this function was linked into: the control library, or the
    // program when the code is linked statically (tests).
    Dl_info info{};
    if (dladdr(reinterpret_cast<void*>(&ApplicationFolder), &info) != 0 && info.dli_fname) {
        return QFileInfo(QString::fromLocal8Bit(info.dli_fname)).absolutePath();
    }
    return QDir::currentPath();
}

QString CommonResourceFolder() {
    return ApplicationFolder() + QStringLiteral("/kelmResourceData");
}

QString DeviceResourceFolder() {
    return ApplicationFolder() + QStringLiteral("/RQ16ResourceData");
}

QString HelpFilePath() {
    return ApplicationFolder() + QStringLiteral("/../help/kelio.chm");
}

QString HelpFilePath(const QString& language) {
    // The language names a folder: only a plain language code is taken.
    static const QRegularExpression code(QStringLiteral("^[a-z]{2,3}$"));
    if (language != QLatin1String("en") && code.match(language).hasMatch()) {
        const QString localized =
            ApplicationFolder() + QStringLiteral("/../help/%1/kelio.chm").arg(language);
        if (QFileInfo(localized).isFile()) {
            return localized;
        }
    }
    return HelpFilePath();
}

} // namespace rq16
