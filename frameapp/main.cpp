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
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QIcon>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPixmap>
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

/// The context of the program's own texts outside the windows.
class FrameProgram {
    Q_DECLARE_TR_FUNCTIONS(FrameProgram)
};

/// Reports a problem on standard error, with the program's name in front.
void PrintError(const QString& message) {
    std::fprintf(stderr, "%s: %s\n", qPrintable(QCoreApplication::applicationName()),
                 qPrintable(message));
}

/// The value of --language in the arguments, before they are parsed: the
/// help text of the options is shown in that language.
QString LanguageArgument(const QStringList& arguments) {
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--language") && i + 1 < arguments.size()) {
            return arguments[i + 1];
        }
        if (argument.startsWith(QLatin1String("--language="))) {
            return argument.section(QLatin1Char('='), 1);
        }
    }
    return {};
}

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
            out << FrameProgram::tr("%1: not yet available").arg(name) << "\n";
            continue;
        }
        const QString id = window.openFunction(progId);
        if (id.isEmpty()) {
            out << FrameProgram::tr("%1: could not be opened").arg(name) << "\n";
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
            out << FrameProgram::tr("%1: no picture written").arg(name) << "\n";
            ++failures;
        }
        window.releaseView(id);
        for (int i = 0; i < 100 && dtm.View(id); ++i) {
            Wait(20);
        }
        if (dtm.View(id)) {
            out << FrameProgram::tr("%1: did not finish its release").arg(name) << "\n";
            ++failures;
        }
    }
    const QString frameFile = QDir(folder).absoluteFilePath(QStringLiteral("FrameApplication.png"));
    if (window.openFunction(QStringLiteral("RQ16Controls.About")).size()) {
        Wait(300);
    }
    window.grab().save(frameFile);
    out << FrameProgram::tr("frame application: %1").arg(frameFile) << "\n";
    out << FrameProgram::tr("%n view picture(s) written to %1", nullptr, written)
               .arg(QDir(folder).absolutePath())
        << "\n";
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
        PrintError(e.description());
        if (headless) {
            return nullptr;
        }
        options.dataSetFile = FreshDataSetFile(options.dataSetFile);
        QMessageBox box(QMessageBox::Critical, FrameProgram::tr("Data set cannot be read"),
                        e.description(), QMessageBox::NoButton);
        box.setTextFormat(Qt::PlainText);
        box.setInformativeText(FrameProgram::tr("Start with a new data set saved as %1? The file "
                                                "that cannot be read stays as it is.")
                                   .arg(options.dataSetFile));
        QPushButton* fresh =
            box.addButton(FrameProgram::tr("Start with a new data set"), QMessageBox::AcceptRole);
        box.addButton(FrameProgram::tr("Quit"), QMessageBox::RejectRole);
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
        PrintError(e.description());
        QMessageBox::critical(nullptr, FrameProgram::tr("Data set cannot be written"),
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
    // The name is the program's: it prefixes the command line's error
    // messages and --version. The desktop file name ties the windows to the
    // desktop entry and its icon.
    QApplication::setApplicationName(QStringLiteral("rq16frame"));
    QApplication::setApplicationVersion(QStringLiteral(RQ16_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("rq16frame"));
    QIcon icon(QStringLiteral(":/icons/rq16frame.svg"));
    icon.addPixmap(QPixmap(QStringLiteral(":/icons/rq16frame-24.svg"))); // drawn for 24 pixels
    QApplication::setWindowIcon(icon);

    // The language comes first, so that the help of the options is in it too.
    QString language = frameapp::LanguageFromLocale();
    const QString languageArgument = LanguageArgument(QApplication::arguments());
    const QString requested = frameapp::SupportedLanguage(languageArgument);
    if (!requested.isEmpty()) {
        language = requested;
    }
    frameapp::InstallTranslations(language);
    if (!languageArgument.isEmpty() && requested.isEmpty()) {
        PrintError(FrameProgram::tr("There are no texts in the language '%1' (available: %2); "
                                    "using %3.")
                       .arg(languageArgument,
                            frameapp::AvailableLanguages().join(QStringLiteral(", ")), language));
    }

    QCommandLineParser parser;
    parser.setApplicationDescription(
        FrameProgram::tr("Frame application for the views of the output module DO8, running on "
                         "a simulated module."));
    parser.addHelpOption();
    parser.addVersionOption();
    // The data sets of earlier versions lie in the folder named after the
    // package, so it stays.
    QCommandLineOption dataSetOption(
        QStringLiteral("data-set"), FrameProgram::tr("Data set file (created when missing)."),
        FrameProgram::tr("file"),
        QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
            QStringLiteral("/rq16controls/RQ16DataSet.json"));
    QCommandLineOption shotsOption(
        QStringLiteral("screenshots"),
        FrameProgram::tr("Open every view offscreen, write a PNG of each into <folder> and exit "
                         "(the default without a display)."),
        FrameProgram::tr("folder"));
    QCommandLineOption latencyOption(
        QStringLiteral("latency"),
        FrameProgram::tr("Answer latency of the simulated module in ms."), FrameProgram::tr("ms"),
        QStringLiteral("30"));
    QCommandLineOption languageOption(
        QStringLiteral("language"),
        FrameProgram::tr("Language of the texts: %1 (default: from LANGUAGE, LC_ALL, LC_MESSAGES "
                         "or LANG).")
            .arg(frameapp::AvailableLanguages().join(QStringLiteral(", "))),
        FrameProgram::tr("language"));
    QCommandLineOption exitAfterPaintOption(
        QStringLiteral("exit-after-first-paint"),
        FrameProgram::tr("Print \"painted\" and exit once the window has been painted for the "
                         "first time (for measuring the start-up)."));
    parser.addOptions(
        {dataSetOption, shotsOption, latencyOption, languageOption, exitAfterPaintOption});
    parser.process(app);

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
            std::printf("%s\n", qPrintable(FrameProgram::tr("No display: writing pictures of the "
                                                            "views instead (data set %1).")
                                               .arg(dtm.parameters().dataSetFile())));
            result = WriteScreenshots(window, dtm, folder);
            dtm.ReleaseAllViews();
            Wait(200);
            // Edits the data set file did not take are lost with this run.
            QStringList failures = dtm.parameters().saveFailures();
            failures.removeDuplicates();
            for (const QString& failure : failures) {
                PrintError(failure);
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
