// The frame application: loads the control library, creates the DTM
// stand-in on a data set and the simulated module, and lets a person open
// each view function. Without a display it opens every available view
// offscreen and writes a picture of each into a folder.

#include "FrameWindow.h"
#include "Language.h"

#include "RQ16Controls.h"

#include "simulator/SimulatedModule.h"
#include "standins/StandInComponents.h"
#include "standins/communication/SimulatedCommunication.h"
#include "standins/dtm/RQ16Dtm.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QStandardPaths>
#include <QTextStream>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

using namespace rq16;

// Exit codes of a headless run besides 0 and 1 (a view without a picture).
constexpr int kExitDataSetUnreadable = 2;
constexpr int kExitNotSaved = 3;

void Wait(int milliseconds) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < milliseconds) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
    }
}

/// What a person does in a view before its picture is taken: in Simulation,
/// channel 3 is forced to 1.
void PrepareForPicture(const QString& name, QWidget* view) {
    if (name != QStringLiteral("Simulation") || view == nullptr) {
        return;
    }
    if (auto* channel = view->findChild<QWidget*>(QStringLiteral("ctlChannel_2"))) {
        for (const QString& button :
             {QStringLiteral("optValue_1"), QStringLiteral("chkForcingActivated")}) {
            if (auto* control = channel->findChild<QAbstractButton*>(button)) {
                control->click();
            }
        }
    }
    Wait(600); // the write is answered and read back
}

/// Opens every available view, lets it do its work, grabs it to a PNG and
/// releases it again through the real lifecycle.
int WriteScreenshots(frameapp::FrameWindow& window, standins::RQ16Dtm& dtm, const QString& folder) {
    QDir().mkpath(folder);
    QTextStream out(stdout);
    // The kernel online: Identification then reads the module when it opens.
    dtm.SetState(6);
    window.show();
    Wait(200);
    int written = 0;
    int failures = 0;
    for (const QString& progId : ViewProgrammaticIds()) {
        const QString name = progId.section(QLatin1Char('.'), 1);
        if (!IsControlAvailable(progId)) {
            out << name << ": not yet available\n";
            continue;
        }
        const QString id = window.openFunction(progId);
        if (id.isEmpty()) {
            out << name << ": could not be opened\n";
            ++failures;
            continue;
        }
        Wait(1500); // online views connect, read and show in this time
        QWidget* view = dtm.View(id);
        PrepareForPicture(name, view);
        const QString file = QDir(folder).absoluteFilePath(name + QStringLiteral(".png"));
        if (view && view->grab().save(file)) {
            out << name << ": " << file << "\n";
            ++written;
        } else {
            out << name << ": no picture written\n";
            ++failures;
        }
        window.releaseView(id);
        for (int i = 0; i < 100 && dtm.View(id); ++i) {
            Wait(20);
        }
        if (dtm.View(id)) {
            out << name << ": did not finish its release\n";
            ++failures;
        }
    }
    const QString frameFile = QDir(folder).absoluteFilePath(QStringLiteral("FrameApplication.png"));
    if (window.openFunction(QStringLiteral("RQ16Controls.About")).size()) {
        Wait(300);
    }
    window.grab().save(frameFile);
    out << "frame application: " << frameFile << "\n";
    out << written << " view pictures written to " << QDir(folder).absolutePath() << "\n";
    out.flush();
    return written > 0 && failures == 0 ? 0 : 1;
}

/// Watches a window's paint events; after the first one has been handled
/// (the whole window is painted in that pass) it prints "painted" and ends
/// the event loop.
class FirstPaintExit : public QObject {
public:
    explicit FirstPaintExit(QWidget& window) : m_window(window) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &m_window && event->type() == QEvent::Paint && !m_seen) {
            m_seen = true;
            QTimer::singleShot(0, this, [] {
                std::printf("painted\n");
                std::fflush(stdout);
                QApplication::exit(0);
            });
        }
        return false;
    }

private:
    QWidget& m_window;
    bool m_seen = false;
};

/// A name beside `damaged` that no file has yet: "<name>-new.json",
/// "<name>-new-2.json", ...
QString FreshDataSetFile(const QString& damaged) {
    const QFileInfo info(damaged);
    const QString stem = info.dir().filePath(info.completeBaseName() + QStringLiteral("-new"));
    QString candidate = stem + QStringLiteral(".json");
    for (int n = 2; QFileInfo(candidate).exists() || QFileInfo(candidate).isSymLink(); ++n) {
        candidate = stem + QStringLiteral("-%1.json").arg(n);
    }
    return candidate;
}

/// The DTM on the data set file. A file that cannot be read is never
/// overwritten: a person may start with a new data set saved under another
/// name; headless runs (and a person who declines) end with the reason on
/// standard error and nullptr.
std::unique_ptr<standins::RQ16Dtm> OpenDtm(standins::RQ16Dtm::Options options, bool headless) {
    try {
        return std::make_unique<standins::RQ16Dtm>(options);
    } catch (const ComError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.description()));
        if (headless) {
            return nullptr;
        }
        options.dataSetFile = FreshDataSetFile(options.dataSetFile);
        QMessageBox box(QMessageBox::Critical, QStringLiteral("Data set cannot be read"),
                        e.description(), QMessageBox::NoButton);
        box.setTextFormat(Qt::PlainText);
        box.setInformativeText(QStringLiteral("Start with a new data set saved as %1? The file "
                                              "that cannot be read stays as it is.")
                                   .arg(options.dataSetFile));
        QPushButton* fresh =
            box.addButton(QStringLiteral("Start with a new data set"), QMessageBox::AcceptRole);
        box.addButton(QStringLiteral("Quit"), QMessageBox::RejectRole);
        box.exec();
        if (box.clickedButton() != fresh) {
            return nullptr;
        }
    }
    try {
        auto dtm = std::make_unique<standins::RQ16Dtm>(options);
        dtm->parameters().Save();
        return dtm;
    } catch (const ComError& e) {
        std::fprintf(stderr, "%s\n", qPrintable(e.description()));
        QMessageBox::critical(nullptr, QStringLiteral("Data set cannot be written"),
                              e.description());
    }
    return nullptr;
}

} // namespace

int main(int argc, char** argv) {
    const bool noDisplay = qEnvironmentVariableIsEmpty("DISPLAY") &&
                           qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") &&
                           qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    if (noDisplay) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("rq16controls"));
    QApplication::setApplicationDisplayName(QStringLiteral("RQ16 frame application"));

    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Frame application for the views of the output module DO8, running on a "
                       "simulated module."));
    parser.addHelpOption();
    QCommandLineOption dataSetOption(
        QStringLiteral("data-set"), QStringLiteral("Data set file (created when missing)."),
        QStringLiteral("file"),
        QStandardPaths::writableLocation(QStandardPaths::AppDataLocation) +
            QStringLiteral("/RQ16DataSet.json"));
    QCommandLineOption shotsOption(
        QStringLiteral("screenshots"),
        QStringLiteral("Open every view offscreen, write a PNG of each into <folder> and exit "
                       "(the default without a display)."),
        QStringLiteral("folder"));
    QCommandLineOption latencyOption(
        QStringLiteral("latency"), QStringLiteral("Answer latency of the simulated module in ms."),
        QStringLiteral("ms"), QStringLiteral("30"));
    QCommandLineOption languageOption(
        QStringLiteral("language"),
        QStringLiteral("Language of the views' texts: %1 (default: from LC_ALL, LC_MESSAGES or "
                       "LANG).")
            .arg(frameapp::AvailableLanguages().join(QStringLiteral(", "))),
        QStringLiteral("language"));
    QCommandLineOption exitAfterPaintOption(
        QStringLiteral("exit-after-first-paint"),
        QStringLiteral("Print \"painted\" and exit once the window has been painted for the first "
                       "time (for measuring the start-up)."));
    parser.addOptions(
        {dataSetOption, shotsOption, latencyOption, languageOption, exitAfterPaintOption});
    parser.process(app);

    QString language = frameapp::LanguageFromLocale();
    if (parser.isSet(languageOption)) {
        const QString requested = frameapp::SupportedLanguage(parser.value(languageOption));
        if (requested.isEmpty()) {
            std::fprintf(stderr,
                         "There are no texts in the language '%s' (available: %s); using %s.\n",
                         qPrintable(parser.value(languageOption)),
                         qPrintable(frameapp::AvailableLanguages().join(QStringLiteral(", "))),
                         qPrintable(language));
        } else {
            language = requested;
        }
    }

    const QString dataSetFile = parser.value(dataSetOption);
    QDir().mkpath(QFileInfo(dataSetFile).absolutePath());

    standins::StandInComponentFactory components;
    SetComponentFactory(&components);

    simulator::SimulatedModule module;
    module.connectionFaults().latencyMs = parser.value(latencyOption).toInt();
    standins::SimulatedCommunication communication(module);

    const bool screenshots = parser.isSet(shotsOption) || noDisplay;
    standins::RQ16Dtm::Options options;
    options.dataSetFile = dataSetFile;
    const std::unique_ptr<standins::RQ16Dtm> openedDtm = OpenDtm(options, screenshots);
    if (!openedDtm) {
        SetComponentFactory(nullptr);
        return kExitDataSetUnreadable;
    }
    standins::RQ16Dtm& dtm = *openedDtm;
    dtm.SetCommunication(&communication);
    dtm.SetControlCreator(
        [](const QString& progId, QWidget* parent) { return CreateControl(progId, parent); });
    dtm.kernel().resources().SetLanguage(language);

    int result = 0;
    {
        frameapp::FrameWindow window(dtm, communication, module, !screenshots);
        if (screenshots) {
            // Questions are answered automatically: nobody is there to click.
            dtm.userDialog().SetAutomaticAnswer(kIdNo);
            const QString folder =
                parser.isSet(shotsOption)
                    ? parser.value(shotsOption)
                    : QDir::current().absoluteFilePath(QStringLiteral("screenshots"));
            std::printf("No display: writing pictures of the views instead (data set %s).\n",
                        qPrintable(dtm.parameters().dataSetFile()));
            result = WriteScreenshots(window, dtm, folder);
            dtm.ReleaseAllViews();
            Wait(200);
            // Edits the data set file did not take are lost with this run.
            QStringList failures = dtm.parameters().saveFailures();
            failures.removeDuplicates();
            for (const QString& failure : failures) {
                std::fprintf(stderr, "%s\n", qPrintable(failure));
            }
            if (!failures.isEmpty()) {
                result = kExitNotSaved;
            }
        } else {
            FirstPaintExit exitAfterPaint(window);
            if (parser.isSet(exitAfterPaintOption)) {
                window.installEventFilter(&exitAfterPaint);
            }
            window.show();
            result = QApplication::exec();
        }
    }
    SetComponentFactory(nullptr);
    return result;
}
