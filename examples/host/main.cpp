#include <RQ16Controls.h>
#include <simulator/SimulatedModule.h>
#include <standins/StandInComponents.h>
#include <standins/communication/SimulatedCommunication.h>
#include <standins/dtm/RQ16Dtm.h>

#include <QApplication>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QLibraryInfo>
#include <QLocale>
#include <QTimer>
#include <QTranslator>

int main(int argc, char** argv) {
    QApplication app(argc, argv);

    // The language of the session: the views' texts and Qt's own buttons.
    const QLocale session(QLocale::system().uiLanguages().value(0));
    const QString language = session.language() == QLocale::German ? "de" : "en";
    QTranslator qtTexts;
    if (qtTexts.load("qtbase_" + language, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        app.installTranslator(&qtTexts);
    }

    // The components, before the first control.
    rq16::standins::StandInComponentFactory components(rq16::CommonResourceFolder());
    rq16::SetComponentFactory(&components);

    // A DTM on a simulated module, with its views in the chosen language.
    rq16::simulator::SimulatedModule module;
    rq16::standins::SimulatedCommunication communication(module);
    rq16::standins::RQ16Dtm::Options options;
    options.commonFolder = rq16::CommonResourceFolder();
    rq16::standins::RQ16Dtm dtm(options);
    dtm.SetCommunication(&communication);
    dtm.SetControlCreator(
        [](const QString& progId, QWidget* parent) { return rq16::CreateControl(progId, parent); });
    dtm.kernel().resources().SetLanguage(language);

    // About and Diagnosis side by side, each at least as large as it needs.
    QWidget window;
    auto* layout = new QHBoxLayout(&window);
    for (const char* progId : {"RQ16Controls.About", "RQ16Controls.Diagnosis"}) {
        if (QWidget* view = dtm.OpenFunction(progId, &window)) {
            view->setMinimumSize(view->size().expandedTo(view->sizeHint()));
            layout->addWidget(view);
        }
    }
    window.show();

    const QStringList arguments = app.arguments();
    const qsizetype shot = arguments.indexOf("--screenshot");
    if (shot > 0 && shot + 1 < arguments.size()) {
        QTimer::singleShot(2000, &window, [&] {
            app.exit(layout->count() == 2 && window.grab().save(arguments.at(shot + 1)) ? 0 : 1);
        });
    }
    // The views go online and do their work while the event loop runs.
    const int result = app.exec();

    // Release every view and let the event loop run until the last is gone.
    dtm.ReleaseAllViews();
    QEventLoop releasing;
    QTimer poll;
    poll.callOnTimeout([&] {
        if (dtm.OpenViews().isEmpty()) {
            releasing.quit();
        }
    });
    poll.start(20);
    QTimer::singleShot(5000, &releasing, &QEventLoop::quit);
    releasing.exec();

    rq16::SetComponentFactory(nullptr);
    return result;
}
