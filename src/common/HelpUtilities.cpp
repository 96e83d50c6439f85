#include "HelpUtilities.h"

#include "BoundedFile.h"
#include "DebugHelper.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <QWidget>

#include <map>
#include <vector>

namespace rq16 {

namespace {

const QString kPlace = QStringLiteral("HelpUtilities.ShowHelp");

/// The folder of the pages ("kelio.chm" -> "kelio/") and its map; false
/// (with a log entry) when the help file cannot be read.
bool ReadHelpFile(const QString& path, QString& folder, HelpMap& help) {
    QString problem;
    const auto contents = ReadBoundedFile(path, kMaxHelpFileSize, problem);
    if (!contents) {
        WriteLog(kPlace, QStringLiteral("The help file %1 cannot be read: %2").arg(path, problem));
        return false;
    }
    const QFileInfo info(path);
    folder = info.absolutePath() + QLatin1Char('/') + info.completeBaseName();
    help = ParseHelpMap(QString::fromUtf8(*contents));
    return true;
}

/// Shows pages, and follows links only to pages inside the help folder.
class HelpBrowser : public QTextBrowser {
public:
    HelpBrowser(QString folder, QWidget* parent)
        : QTextBrowser(parent), m_folder(std::move(folder)) {}
    void setFolder(const QString& folder) { m_folder = folder; }

protected:
    void doSetSource(const QUrl& name, QTextDocument::ResourceType type) override {
        if (name.isLocalFile() &&
            HelpPageFile(m_folder, QDir(m_folder).relativeFilePath(name.toLocalFile())).isEmpty()) {
            return;
        }
        QTextBrowser::doSetSource(name, type);
    }

private:
    QString m_folder;
};

} // namespace

HelpMap ParseHelpMap(const QString& text) {
    HelpMap help;
    for (const QString& raw : text.split(QLatin1Char('\n'))) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#'))) {
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (eq <= 0) {
            continue;
        }
        const QString key = line.left(eq).trimmed();
        const QString page = line.mid(eq + 1).trimmed();
        if (key == QLatin1String("default")) {
            help.defaultPage = page;
        } else {
            bool ok = false;
            const int id = key.toInt(&ok);
            if (ok) {
                help.pages[id] = page;
            }
        }
    }
    return help;
}

QString HelpPageFile(const QString& folder, const QString& page) {
    const QString root = QDir::cleanPath(folder);
    const QString file = QDir::cleanPath(root + QLatin1Char('/') + page);
    // Symbolic links are followed: the page must really lie in the folder.
    const QString canonicalRoot = QFileInfo(root).canonicalFilePath();
    const QString canonicalFile = QFileInfo(file).canonicalFilePath();
    const QFileInfo info(file);
    QString problem;
    if (page.isEmpty() || QDir::isAbsolutePath(page) || !file.startsWith(root + QLatin1Char('/')) ||
        (!canonicalFile.isEmpty() && !canonicalFile.startsWith(canonicalRoot + QLatin1Char('/')))) {
        problem = QStringLiteral("it lies outside the help folder %1").arg(root);
    } else if (!info.exists()) {
        return {};
    } else if (!info.isFile()) {
        problem = QStringLiteral("it is not a regular file");
    } else if (info.size() > kMaxHelpFileSize) {
        problem = QStringLiteral("it is larger than %1 bytes").arg(kMaxHelpFileSize);
    }
    if (!problem.isEmpty()) {
        WriteLog(kPlace, QStringLiteral("Help page '%1' refused: %2").arg(page, problem));
        return {};
    }
    return file;
}

namespace {

class HelpWindow : public QWidget {
public:
    explicit HelpWindow(const QString& helpPath) : m_helpPath(helpPath) {
        setAttribute(Qt::WA_DeleteOnClose);
        setWindowTitle(QStringLiteral("Help"));
        resize(640, 520);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        m_browser = new HelpBrowser(QString(), this);
        m_browser->setOpenExternalLinks(false);
        layout->addWidget(m_browser);
    }
    const QString& helpPath() const { return m_helpPath; }
    void showPage(const QString& folder, const QString& file) {
        m_browser->setFolder(folder);
        m_browser->setSource(QUrl::fromLocalFile(file));
        setWindowTitle(m_browser->documentTitle().isEmpty() ? QStringLiteral("Help")
                                                            : m_browser->documentTitle());
    }

private:
    QString m_helpPath;
    HelpBrowser* m_browser = nullptr;
};

std::vector<QPointer<HelpWindow>>& Windows() {
    static std::vector<QPointer<HelpWindow>> windows;
    return windows;
}

void Prune() {
    auto& windows = Windows();
    std::erase_if(windows, [](const QPointer<HelpWindow>& w) { return w.isNull(); });
}

} // namespace

std::intptr_t ShowHelp(const QString& path, std::int32_t contextId, QWidget* window) {
    Q_UNUSED(window);
    HelpMap help;
    QString folder;
    const QString cleanPath = QDir::cleanPath(path);
    if (!ReadHelpFile(cleanPath, folder, help)) {
        return 0;
    }
    QString page = help.defaultPage;
    if (contextId != 0) {
        const auto it = help.pages.find(contextId);
        if (it == help.pages.end()) {
            return 0;
        }
        page = it->second;
    }
    const QString pageFile = HelpPageFile(folder, page);
    if (pageFile.isEmpty()) {
        return 0;
    }
    Prune();
    // One help window per help file, as the help viewer reuses its window.
    HelpWindow* target = nullptr;
    for (const auto& w : Windows()) {
        if (w->helpPath() == cleanPath) {
            target = w.data();
        }
    }
    if (!target) {
        target = new HelpWindow(cleanPath);
        Windows().emplace_back(target);
    }
    target->showPage(folder, pageFile);
    target->show();
    target->raise();
    return reinterpret_cast<std::intptr_t>(target);
}

void CloseAllHelp(QWidget* window) {
    Q_UNUSED(window);
    Prune();
    auto windows = Windows();
    Windows().clear();
    for (const auto& w : windows) {
        if (w) {
            w->close(); // deletes itself
        }
    }
}

int OpenHelpWindowCount() {
    Prune();
    return static_cast<int>(Windows().size());
}

} // namespace rq16
