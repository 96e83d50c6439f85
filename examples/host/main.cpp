// A host of the views: it installs the stand-ins' component factory, opens
// the About and Diagnosis views of a DTM on a simulated module side by side,
// and releases them when its window closes. With "--screenshot FILE" it
// saves a picture of its window after two seconds and exits.

#include <RQ16Controls.h>
#include <simulator/SimulatedModule.h>
#include <standins/StandInComponents.h>
#include <standins/communication/SimulatedCommunication.h>
#include <standins/dtm/RQ16Dtm.h>

#include <QApplication>
#include <QHBoxLayout>
#include <QTimer>

int main(int argc, char** argv) {
    QApplication app(argc, argv);

    // Helper objects for the views; their texts come from the library's folders.
    rq16::standins::StandInComponentFactory components(rq16::CommonResourceFolder());
    rq16::SetComponentFactory(&components);

    rq16::simulator::SimulatedModule module;
    rq16::standins::SimulatedCommunication communication(module);
    rq16::standins::RQ16Dtm::Options options;
    options.commonFolder = rq16::CommonResourceFolder();
    rq16::standins::RQ16Dtm dtm(options);
    dtm.SetCommunication(&communication);
    dtm.SetControlCreator(
        [](const QString& progId, QWidget* parent) { return rq16::CreateControl(progId, parent); });

    QWidget window;
    window.setWindowTitle(QStringLiteral("RQ16 example host"));
    auto* layout = new QHBoxLayout(&window);
    for (const char* progId : {"RQ16Controls.About", "RQ16Controls.Diagnosis"}) {
        if (QWidget* view = dtm.OpenFunction(QString::fromLatin1(progId), &window)) {
            view->setMinimumSize(view->size().expandedTo(view->sizeHint())); // its design size
            layout->addWidget(view);
        }
    }
    window.show();

    const QStringList arguments = QApplication::arguments();
    const qsizetype shot = arguments.indexOf(QStringLiteral("--screenshot"));
    int result = 0;
    if (shot > 0 && shot + 1 < arguments.size()) {
        QTimer::singleShot(2000, &window, [&] {
            result = window.grab().save(arguments.at(shot + 1)) && layout->count() == 2 ? 0 : 1;
            QApplication::quit();
        });
    }
    const int loop = QApplication::exec();

    // The views release themselves through the DTM before the host goes.
    dtm.ReleaseAllViews();
    QTimer released;
    released.callOnTimeout([&] {
        if (dtm.OpenViews().isEmpty()) {
            QApplication::quit();
        }
    });
    released.start(20);
    QTimer::singleShot(5000, &app, &QApplication::quit);
    QApplication::exec();
    rq16::SetComponentFactory(nullptr);
    return loop != 0 ? loop : result;
}
