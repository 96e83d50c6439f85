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
#include <QMdiSubWindow>
#include <QStandardPaths>
#include <QTextStream>
#include <QTimer>

#include <cstdio>

namespace {

using namespace rq16;

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
    parser.addOptions({dataSetOption, shotsOption, latencyOption, languageOption});
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

    standins::RQ16Dtm::Options options;
    options.dataSetFile = dataSetFile;
    standins::RQ16Dtm dtm(options);
    dtm.SetCommunication(&communication);
    dtm.SetControlCreator(
        [](const QString& progId, QWidget* parent) { return CreateControl(progId, parent); });
    dtm.kernel().resources().SetLanguage(language);

    const bool screenshots = parser.isSet(shotsOption) || noDisplay;
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
                        qPrintable(dataSetFile));
            result = WriteScreenshots(window, dtm, folder);
            dtm.ReleaseAllViews();
            Wait(200);
        } else {
            window.show();
            result = QApplication::exec();
        }
    }
    SetComponentFactory(nullptr);
    return result;
}
