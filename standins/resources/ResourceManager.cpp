#include "ResourceManager.h"

#include "src/common/BoundedFile.h"
#include "standins/CallRecorder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QMutex>
#include <QMutexLocker>
#include <QPainter>
#include <QSvgRenderer>

#include <algorithm>
#include <cstdio>

#include <sys/stat.h>

namespace rq16::standins {

namespace {

using TextTable = QHash<std::int32_t, QString>;

struct CachedFile {
    std::int64_t modified = 0; // nanoseconds since the epoch
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
/// What tells a changed file from the one read before. Every text lookup and
/// picture load asks for it, so it is one plain stat(): QFileInfo's local-time
/// conversion of the modification time costs more than the lookup itself.
struct FileStamp {
    bool exists = false;
    std::int64_t modified = 0; // nanoseconds since the epoch
    qint64 size = -1;
};

FileStamp StampOf(const QString& path) {
    struct stat status {};
    if (::stat(QFile::encodeName(path).constData(), &status) != 0) {
        return {};
    }
    return {true, std::int64_t(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec,
            qint64(status.st_size)};
}

std::shared_ptr<const TextTable> TextsOf(const QString& path, QString& problem) {
    const auto [exists, modified, size] = StampOf(path);

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
        // Called for every text lookup: a plain scan, no regular expression.
        const auto separator = std::find_if(language.cbegin(), language.cend(),
                                            [](QChar c) { return c == u'-' || c == u'_'; });
        const qsizetype cut = separator - language.cbegin();
        if (separator != language.cend() && cut > 0) {
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
    const QString svgPath = base + QStringLiteral(".svg");
    const QString pngPath = base + QStringLiteral(".png");
    const FileStamp svg = StampOf(svgPath);
    const FileStamp png = svg.exists ? FileStamp{} : StampOf(pngPath);

    // Drawing a picture costs more than the rest of a view's set-up, and views
    // load the same few pictures again and again: what was drawn is kept,
    // keyed by the file as it is now and the size asked for.
    const FileStamp& stamp = svg.exists ? svg : png;
    // Pictures are drawn for the pixel density of the screens, so they stay
    // sharp on high-density screens; sizes stay in device-independent pixels.
    const qreal density = qGuiApp ? qGuiApp->devicePixelRatio() : 1.0;
    const QString key = QStringLiteral("%1|%2|%3|%4|%5|%6")
                            .arg(svg.exists ? svgPath : pngPath)
                            .arg(stamp.modified)
                            .arg(stamp.size)
                            .arg(width)
                            .arg(height)
                            .arg(density);
    // Never destroyed: pixmaps must not outlive the application object.
    static auto& drawn = *new QHash<QString, QPixmap>;
    if (const auto it = drawn.constFind(key); stamp.exists && it != drawn.constEnd()) {
        return *it;
    }

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
    if (svg.exists) {
        QSvgRenderer renderer(contentsOf(svgPath));
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
        image = QImage((QSizeF(size) * density).toSize(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        renderer.render(&painter);
    } else if (png.exists) {
        if (!image.loadFromData(contentsOf(pngPath), "PNG") || image.width() > kMaxPictureSide ||
            image.height() > kMaxPictureSide) {
            throw ComError(kErrInvalidArg, QStringLiteral("Picture %1 cannot be read").arg(id));
        }
        if (width > 0 && height > 0) {
            image = image.scaled((QSizeF(width, height) * density).toSize(), Qt::IgnoreAspectRatio,
                                 Qt::SmoothTransformation);
        } else if (width > 0) {
            image = image.scaledToWidth(qRound(width * density), Qt::SmoothTransformation);
        } else if (height > 0) {
            image = image.scaledToHeight(qRound(height * density), Qt::SmoothTransformation);
        } else if (density != 1.0) {
            image = image.scaled((QSizeF(image.size()) * density).toSize(), Qt::KeepAspectRatio,
                                 Qt::SmoothTransformation);
        }
    } else {
        throw ComError(kErrNotFound, QStringLiteral("Picture %1 not found in resource folder '%2'")
                                         .arg(id)
                                         .arg(ResolveFolder(folder)));
    }
    constexpr qsizetype kMaxDrawn = 256; // a few views' worth; then start over
    if (drawn.size() >= kMaxDrawn) {
        drawn.clear();
    }
    image.setDevicePixelRatio(density);
    return *drawn.insert(key, QPixmap::fromImage(image));
}

} // namespace rq16::standins
