#include "ResourceManager.h"

#include "src/common/BoundedFile.h"
#include "standins/CallRecorder.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QMutex>
#include <QMutexLocker>
#include <QPainter>
#include <QRegularExpression>
#include <QSvgRenderer>

#include <cstdio>

namespace rq16::standins {

namespace {

using TextTable = QHash<std::int32_t, QString>;

struct CachedFile {
    QDateTime modified;
    qint64 size = -1;
    std::shared_ptr<const TextTable> texts; // null: the file does not exist or is refused
    QString problem;                        // why an existing file is refused
};

QMutex& CacheMutex() {
    static QMutex mutex;
    return mutex;
}

QHash<QString, CachedFile>& Cache() {
    static QHash<QString, CachedFile> cache;
    return cache;
}

/// Far above any real text file.
constexpr qint64 kMaxTextFileSize = 4 * 1024 * 1024;

/// The texts of one file, parsed once and re-read only when the file changes.
/// A file that exists but cannot be read is refused; the reason is told once
/// and kept in `problem`.
std::shared_ptr<const TextTable> TextsOf(const QString& path, QString& problem) {
    const QFileInfo info(path);
    const bool exists = info.exists();
    const QDateTime modified = exists ? info.lastModified() : QDateTime();
    const qint64 size = exists ? info.size() : -1;

    QMutexLocker lock(&CacheMutex());
    auto it = Cache().find(path);
    if (it != Cache().end() && it->modified == modified && it->size == size) {
        problem = it->problem;
        return it->texts;
    }
    CachedFile entry{modified, size, nullptr, {}};
    if (exists) {
        if (const auto contents = ReadBoundedFile(path, kMaxTextFileSize, entry.problem)) {
            entry.texts = std::make_shared<const TextTable>(
                ResourceManager::ParseTexts(QString::fromUtf8(*contents)));
        } else {
            entry.problem = QStringLiteral("The resource texts %1 cannot be read: %2.")
                                .arg(path, entry.problem);
            std::fprintf(stderr, "%s\n", qPrintable(entry.problem));
        }
    }
    Cache().insert(path, entry);
    problem = entry.problem;
    return entry.texts;
}

QString Unescape(QStringView raw) {
    QString result;
    result.reserve(raw.size());
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar c = raw[i];
        if (c != u'\\' || i + 1 == raw.size()) {
            result.append(c);
            continue;
        }
        const QChar next = raw[++i];
        if (next == u'n') {
            result.append(u'\n');
        } else if (next == u't') {
            result.append(u'\t');
        } else if (next == u'\\') {
            result.append(u'\\');
        } else {
            // Unknown escapes stay as written.
            result.append(c);
            result.append(next);
        }
    }
    return result;
}

/// "de-AT" → {"de-AT", "de", "en"}; "en" → {"en"}.
QStringList LanguageChain(const QString& language) {
    QStringList chain;
    if (!language.isEmpty()) {
        chain << language;
        const qsizetype cut = language.indexOf(QRegularExpression(QStringLiteral("[-_]")));
        if (cut > 0) {
            chain << language.left(cut);
        }
    }
    if (!chain.contains(QStringLiteral("en"))) {
        chain << QStringLiteral("en");
    }
    return chain;
}

} // namespace

ResourceManager::ResourceManager(QString defaultFolder)
    : m_defaultFolder(std::move(defaultFolder)) {}

void ResourceManager::SetLanguage(const QString& language) {
    m_language = language.trimmed();
}

namespace {

/// The program's folder, or RQ16_APP_FOLDER when that is set (as the views
/// determine their application folder).
QString ApplicationFolder() {
    const QString overridden = qEnvironmentVariable("RQ16_APP_FOLDER");
    return overridden.isEmpty() ? QCoreApplication::applicationDirPath() : overridden;
}

} // namespace

QString ResourceManager::ApplicationCommonFolder() {
    return ApplicationFolder() + QStringLiteral("/kelmResourceData");
}

QString ResourceManager::ApplicationDeviceFolder() {
    return ApplicationFolder() + QStringLiteral("/RQ16ResourceData");
}

QString ResourceManager::ResolveFolder(const QString& folder) const {
    const QString chosen = folder.isEmpty() ? m_defaultFolder : folder;
    // Folders may arrive with either separator.
    QString normal = chosen;
    normal.replace(u'\\', u'/');
    return QDir::cleanPath(normal);
}

QHash<std::int32_t, QString> ResourceManager::ParseTexts(const QString& contents) {
    QHash<std::int32_t, QString> texts;
    const auto lines = QStringView(contents).split(u'\n');
    for (QStringView line : lines) {
        if (line.endsWith(u'\r')) {
            line.chop(1);
        }
        if (line.isEmpty() || line.startsWith(u'#')) {
            continue;
        }
        const qsizetype tab = line.indexOf(u'\t');
        if (tab <= 0) {
            continue;
        }
        bool ok = false;
        const std::int32_t id = line.left(tab).trimmed().toInt(&ok);
        if (!ok) {
            continue;
        }
        texts.insert(id, Unescape(line.mid(tab + 1)));
    }
    return texts;
}

void ResourceManager::ClearCache() {
    QMutexLocker lock(&CacheMutex());
    Cache().clear();
}

QString ResourceManager::GetString(std::int32_t id, const QString& folder) {
    const QString dir = ResolveFolder(folder);
    QString refused;
    for (const QString& language : LanguageChain(m_language)) {
        QString problem;
        const auto texts =
            TextsOf(dir + QStringLiteral("/texts.") + language + QStringLiteral(".txt"), problem);
        if (texts) {
            auto it = texts->constFind(id);
            if (it != texts->constEnd()) {
                return *it;
            }
        }
        if (refused.isEmpty()) {
            refused = problem;
        }
    }
    if (!refused.isEmpty()) {
        throw ComError(kErrNotFound, refused);
    }
    throw ComError(kErrNotFound,
                   QStringLiteral("Text %1 not found in resource folder '%2'").arg(id).arg(dir));
}

QPixmap ResourceManager::LoadPicture(std::int32_t id, int width, int height,
                                     const QString& folder) {
    RecordCall(QStringLiteral("ResourceManager.LoadPicture(%1,%2,%3,%4)")
                   .arg(id)
                   .arg(width)
                   .arg(height)
                   .arg(folder));
    if (width < 0 || height < 0) {
        throw ComError(kErrInvalidArg,
                       QStringLiteral("Invalid picture size %1 x %2").arg(width).arg(height));
    }
    const QString base = ResolveFolder(folder) + QStringLiteral("/pictures/") + QString::number(id);

    // Picture files are read as text files are: regular files of bounded
    // size only, and never drawn larger than a screen.
    const auto contentsOf = [id](const QString& path) {
        QString problem;
        auto contents = ReadBoundedFile(path, kMaxTextFileSize, problem);
        if (!contents) {
            throw ComError(
                kErrInvalidArg,
                QStringLiteral("Picture %1 (%2) cannot be read: %3").arg(id).arg(path, problem));
        }
        return *contents;
    };
    constexpr int kMaxPictureSide = 4096;
    QImage image;
    if (QFileInfo::exists(base + QStringLiteral(".svg"))) {
        QSvgRenderer renderer(contentsOf(base + QStringLiteral(".svg")));
        if (!renderer.isValid()) {
            throw ComError(kErrInvalidArg, QStringLiteral("Picture %1 cannot be read").arg(id));
        }
        QSize size = renderer.defaultSize().boundedTo(QSize(kMaxPictureSide, kMaxPictureSide));
        if (width > 0 && height > 0) {
            size = QSize(width, height);
        } else if (width > 0 && size.width() > 0) {
            size = QSize(width, qMax(1, size.height() * width / size.width()));
        } else if (height > 0 && size.height() > 0) {
            size = QSize(qMax(1, size.width() * height / size.height()), height);
        }
        image = QImage(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        renderer.render(&painter);
    } else if (QFileInfo::exists(base + QStringLiteral(".png"))) {
        if (!image.loadFromData(contentsOf(base + QStringLiteral(".png")), "PNG") ||
            image.width() > kMaxPictureSide || image.height() > kMaxPictureSide) {
            throw ComError(kErrInvalidArg, QStringLiteral("Picture %1 cannot be read").arg(id));
        }
        if (width > 0 && height > 0) {
            image = image.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        } else if (width > 0) {
            image = image.scaledToWidth(width, Qt::SmoothTransformation);
        } else if (height > 0) {
            image = image.scaledToHeight(height, Qt::SmoothTransformation);
        }
    } else {
        throw ComError(kErrNotFound, QStringLiteral("Picture %1 not found in resource folder '%2'")
                                         .arg(id)
                                         .arg(ResolveFolder(folder)));
    }
    return QPixmap::fromImage(image);
}

} // namespace rq16::standins
