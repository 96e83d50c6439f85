#include "HelpUtilities.h"

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

// The help file is a topic map: lines "contextId=page.html" and
// "default=page.html"; the pages lie in the folder named like the help file
// without its extension ("kelio.chm" -> "kelio/").
struct HelpFile {
    QString folder;
    QString defaultPage;
    std::map<std::int32_t, QString> pages;
};

bool ReadHelpFile(const QString& path, HelpFile& help) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        return false;
    }
    const QFileInfo info(path);
    help.folder = info.absolutePath() + QLatin1Char('/') + info.completeBaseName();
    for (const QString& raw : QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'))) {
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
    return true;
}

class HelpWindow : public QWidget {
public:
    explicit HelpWindow(const QString& helpPath) : m_helpPath(helpPath) {
        setAttribute(Qt::WA_DeleteOnClose);
        setWindowTitle(QStringLiteral("Help"));
        resize(640, 520);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        m_browser = new QTextBrowser(this);
        m_browser->setOpenExternalLinks(false);
        layout->addWidget(m_browser);
    }
    const QString& helpPath() const { return m_helpPath; }
    void showPage(const QString& file) {
        m_browser->setSource(QUrl::fromLocalFile(file));
        setWindowTitle(m_browser->documentTitle().isEmpty() ? QStringLiteral("Help")
                                                            : m_browser->documentTitle());
    }

private:
    QString m_helpPath;
    QTextBrowser* m_browser = nullptr;
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
    HelpFile help;
    const QString cleanPath = QDir::cleanPath(path);
    if (!ReadHelpFile(cleanPath, help)) {
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
    const QString pageFile = help.folder + QLatin1Char('/') + page;
    if (page.isEmpty() || !QFileInfo::exists(pageFile)) {
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
    target->showPage(pageFile);
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
