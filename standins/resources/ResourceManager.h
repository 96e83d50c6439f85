#pragma once
// Texts and pictures by number, read from resource folders on disk.
//
// A folder holds "texts.<language>.txt" files (one "id<TAB>text" per line,
// with \n, \t and \\ escapes and # comment lines) and a "pictures" folder
// with "<id>.svg" or "<id>.png". Parsed text files are shared between all
// managers of the process.

#include "host/ResourceManager.h"

#include <QHash>
#include <QString>

#include <memory>

namespace rq16::standins {

class ResourceManager : public IResourceManager {
public:
    /// Language "en"; the default folder as given (may be empty).
    explicit ResourceManager(QString defaultFolder = QString());

    QString GetString(std::int32_t id, const QString& folder) override;
    QPixmap LoadPicture(std::int32_t id, int width, int height, const QString& folder) override;

    QString Language() const override { return m_language; }
    void SetLanguage(const QString& language) override;
    QString DefaultFolder() const override { return m_defaultFolder; }
    void SetDefaultFolder(const QString& folder) override { m_defaultFolder = folder; }

    /// The common folder beside the running program (or below
    /// RQ16_APP_FOLDER when that is set).
    static QString ApplicationCommonFolder();
    /// The device folder beside the running program.
    static QString ApplicationDeviceFolder();

    /// Parses the contents of a text file. Malformed lines are skipped.
    static QHash<std::int32_t, QString> ParseTexts(const QString& contents);
    /// Forgets every parsed text file (files changed on disk are noticed
    /// anyway; this is for tests that rewrite files within one second).
    static void ClearCache();

private:
    QString ResolveFolder(const QString& folder) const;

    QString m_language = QStringLiteral("en");
    QString m_defaultFolder;
};

} // namespace rq16::standins
