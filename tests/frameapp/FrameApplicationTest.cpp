// The frame application as a person uses it: views opened from the window,
// edited, closed and opened again, on the DTM stand-in and the simulated
// module, through the shared library.

#include "EventPanelFeed.h"
#include "FrameWindow.h"

#include "RQ16Controls.h"

#include "simulator/SimulatedModule.h"
#include "standins/StandInComponents.h"
#include "standins/buttons/ButtonControl.h"
#include "standins/communication/SimulatedCommunication.h"
#include "standins/dtm/RQ16Dtm.h"
#include "standins/resources/ResourceManager.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QDockWidget>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include "EventLoop.h"

#include <gtest/gtest.h>

using namespace rq16;
using rq16::test::SpinUntil;

namespace {

class FrameApplicationTest : public ::testing::Test {
protected:
    FrameApplicationTest() { SetComponentFactory(&components); }
    ~FrameApplicationTest() override { SetComponentFactory(nullptr); }

    /// A DTM on the data set file of this test, and a frame window on it.
    struct Session {
        explicit Session(FrameApplicationTest& t) : communication(t.module) {
            standins::RQ16Dtm::Options options;
            options.dataSetFile = t.dir.path() + QStringLiteral("/DataSet.json");
            dtm = std::make_unique<standins::RQ16Dtm>(options);
            dtm->SetCommunication(&communication);
            dtm->SetControlCreator(
                [](const QString& id, QWidget* parent) { return CreateControl(id, parent); });
            window = std::make_unique<frameapp::FrameWindow>(*dtm, communication, t.module, false);
        }
        ~Session() {
            dtm->ReleaseAllViews();
            SpinUntil([this] { return window->openViewCount() == 0; });
            window.reset();
        }
        /// Closes the view's window as a person does and waits until it is gone.
        bool closeWindow(const QString& id) {
            QMdiSubWindow* sub = window->windowOf(id);
            if (!sub) {
                return false;
            }
            sub->close();
            return SpinUntil([&] { return window->windowOf(id) == nullptr; });
        }
        standins::SimulatedCommunication communication;
        std::unique_ptr<standins::RQ16Dtm> dtm;
        std::unique_ptr<frameapp::FrameWindow> window;
    };

    /// The file `name` in the test's folder, holding `contents`.
    QString Write(const QString& name, const QByteArray& contents) {
        QFile file(dir.filePath(name));
        file.open(QIODevice::WriteOnly) && file.write(contents);
        return file.fileName();
    }
    static standins::ButtonControl* BarOf(QWidget* view) {
        return view->findChild<standins::ButtonControl*>();
    }

    QTemporaryDir dir;
    standins::StandInComponentFactory components;
    simulator::SimulatedModule module;
};

TEST_F(FrameApplicationTest, ParameterEditsSurviveClosingAndReopening) {
    {
        Session session(*this);
        const QString id = session.window->openFunction(QStringLiteral("RQ16Controls.Parameter"));
        ASSERT_FALSE(id.isEmpty());
        QWidget* view = session.dtm->View(id);
        auto boxes = view->findChildren<QCheckBox*>(QStringLiteral("chkInvertedLogic"));
        ASSERT_EQ(boxes.size(), 4);
        ASSERT_FALSE(boxes[1]->isChecked());
        boxes[1]->click(); // pair 3/4 inverted

        ASSERT_TRUE(BarOf(view)->click(standins::ButtonControl::Button::Ok));
        ASSERT_TRUE(SpinUntil([&] { return session.window->windowOf(id) == nullptr; }))
            << "OK writes and closes the view";
        EXPECT_EQ(session.dtm->parameters().data().parameterBytes.at(1), 0x04);
    }
    {
        Session session(*this); // a new start of the application on the same file
        const QString id = session.window->openFunction(QStringLiteral("RQ16Controls.Parameter"));
        QWidget* view = session.dtm->View(id);
        const auto boxes = view->findChildren<QCheckBox*>(QStringLiteral("chkInvertedLogic"));
        ASSERT_EQ(boxes.size(), 4);
        EXPECT_FALSE(boxes[0]->isChecked());
        EXPECT_TRUE(boxes[1]->isChecked());
        EXPECT_TRUE(session.closeWindow(id));
    }
}

TEST_F(FrameApplicationTest, DiagnosisShowsAFaultSetWhileItIsOpen) {
    Session session(*this);
    const QString id = session.window->openFunction(QStringLiteral("RQ16Controls.Diagnosis"));
    ASSERT_FALSE(id.isEmpty());
    QWidget* view = session.dtm->View(id);
    auto* channels = view->findChild<QTextEdit*>(QStringLiteral("txtChannelDiagnosis"));
    ASSERT_NE(channels, nullptr);
    standins::ButtonControl* bar = BarOf(view);
    ASSERT_TRUE(
        SpinUntil([&] { return bar->areButtonsEnabled() && !channels->toPlainText().isEmpty(); }));
    const QString before = channels->toPlainText();

    module.SetChannelFaults(4, {1}); // a short circuit on channel 4
    ASSERT_TRUE(bar->click(standins::ButtonControl::Button::Extra));
    ASSERT_TRUE(
        SpinUntil([&] { return channels->toPlainText() != before && bar->areButtonsEnabled(); }));
    EXPECT_FALSE(bar->isOnline()) << "the reread ends offline";
    EXPECT_TRUE(channels->toPlainText().contains(QStringLiteral("Channel 4\n\tShort circuit")))
        << channels->toPlainText().toStdString();
    EXPECT_EQ(session.communication.openConnections().size(), 0u);

    EXPECT_TRUE(session.closeWindow(id));
    EXPECT_EQ(session.dtm->View(id), nullptr);
}

TEST_F(FrameApplicationTest, ClosingTheWindowWhileTheViewIsOnlineWaitsForTheDisconnect) {
    module.connectionFaults().latencyMs = 50;
    Session session(*this);
    const QString id = session.window->openFunction(QStringLiteral("RQ16Controls.Diagnosis"));
    ASSERT_TRUE(SpinUntil([&] { return !session.communication.openConnections().empty(); }));
    QMdiSubWindow* sub = session.window->windowOf(id);
    sub->close();
    EXPECT_NE(session.window->windowOf(id), nullptr) << "the window stays until the release ends";
    ASSERT_TRUE(SpinUntil([&] { return session.window->windowOf(id) == nullptr; }));
    EXPECT_TRUE(session.communication.openConnections().empty());
}

TEST_F(FrameApplicationTest, FunctionsViewWindowsAndPanelsWorkFromTheKeyboard) {
    Session session(*this);
    frameapp::FrameWindow& window = *session.window;
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const auto press = [&](const char* keys) {
        QWidget* focus = QApplication::focusWidget();
        QTest::keySequence(focus ? focus : &window, QKeySequence(QLatin1String(keys)));
    };
    auto* mdi = window.findChild<QMdiArea*>();
    press("Ctrl+2"); // Diagnosis
    press("Ctrl+6"); // About
    QMdiSubWindow* about = mdi->currentSubWindow();
    press("Ctrl+F6");
    EXPECT_NE(mdi->currentSubWindow(), about);
    press("Ctrl+W"); // Diagnosis, whose window has the focus and a menu of its own
    EXPECT_TRUE(SpinUntil([&] { return window.openViewCount() == 1; }));
    press("Ctrl+Shift+D");
    EXPECT_TRUE(
        window.findChild<QDockWidget*>("dataSet")->isAncestorOf(QApplication::focusWidget()));
}

TEST_F(FrameApplicationTest, ItsTextsQtsAndTheViewsOpenedAfterChoosingGermanSpeakGerman) {
    Session session(*this);
    frameapp::FrameWindow& window = *session.window;
    auto* functions = window.findChild<QDockWidget*>(QStringLiteral("functions"));
    EXPECT_EQ(functions->windowTitle(), QStringLiteral("Functions"));
    window.findChild<QAction*>(QStringLiteral("language_de"))->trigger();
    EXPECT_TRUE(SpinUntil([&] { return functions->windowTitle() == "Funktionen"; }));
    QMessageBox question(QMessageBox::Question, {}, {}, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(question.button(QMessageBox::No)->text().remove(u'&'), QStringLiteral("Nein"))
        << "Qt's own translation";

    const QString id = window.openFunction(QStringLiteral("RQ16Controls.About"));
    ASSERT_FALSE(id.isEmpty());
    EXPECT_TRUE(window.windowOf(id)->windowTitle().startsWith(QStringLiteral("Info - ")));
    standins::ResourceManager german(standins::ResourceManager::ApplicationCommonFolder());
    german.SetLanguage(QStringLiteral("de"));
    const QString notice = german.GetString(5004, QString());
    const auto labels = session.dtm->View(id)->findChildren<QLabel*>();
    EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [&](const QLabel* label) {
        return label->text().startsWith(notice);
    })) << "the legal notice in German";
    EXPECT_TRUE(session.closeWindow(id));
    window.findChild<QAction*>(QStringLiteral("language_en"))->trigger();
    EXPECT_TRUE(SpinUntil([&] { return functions->windowTitle() == "Functions"; }));
}

TEST_F(FrameApplicationTest, ADamagedDataSetIsNeverOverwritten) {
    QFile file(dir.filePath(QStringLiteral("DataSet.json")));
    const QByteArray damaged = R"({"format": "RQ16 data set", "slotNumber": "3"})";
    Write("DataSet.json", damaged);
    // Headless start: the reason on standard error, a non-zero exit code.
    QProcess frame;
    frame.start(QCoreApplication::applicationDirPath() + QStringLiteral("/rq16frame"),
                {QStringLiteral("--data-set"), file.fileName(), QStringLiteral("--screenshots"),
                 dir.path()});
    ASSERT_TRUE(frame.waitForFinished(60000));
    EXPECT_NE(frame.exitCode(), 0);
    EXPECT_TRUE(frame.readAllStandardError().contains("the member 'slotNumber' must be"));

    // Reload while a view holds an edit: the data set and the edit stay.
    Write("DataSet.json", standins::DataSet().ToJson());
    Session session(*this);
    QWidget* view =
        session.dtm->View(session.window->openFunction(QStringLiteral("RQ16Controls.Parameter")));
    QCheckBox* inverted = view->findChildren<QCheckBox*>(QStringLiteral("chkInvertedLogic")).at(1);
    inverted->click();
    Write("DataSet.json", damaged);
    session.window->findChild<QPushButton*>(QStringLiteral("reloadDataSet"))->click();
    EXPECT_TRUE(session.window->statusBar()->currentMessage().contains(file.fileName()));
    EXPECT_TRUE(inverted->isChecked() && BarOf(view)->isApplyEnabled());
    EXPECT_EQ(session.dtm->parameters().data(), standins::DataSet());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), damaged);
}

TEST_F(FrameApplicationTest, ViewWindowsStayWithinTheScreenWhateverTheirTexts) {
    standins::DataSet data;
    data.typeName = QString(200000, QLatin1Char('T'));
    data.channelTags.fill(QString(200000, QLatin1Char('g')));
    data.Save(dir.filePath(QStringLiteral("DataSet.json")));
    Session session(*this);
    const QSize screen = session.window->screen()->availableGeometry().size();
    for (const QString& progId : ViewProgrammaticIds()) {
        const QString id = session.window->openFunction(progId);
        const QMdiSubWindow* sub = session.window->windowOf(id);
        ASSERT_NE(sub, nullptr) << qPrintable(progId);
        EXPECT_TRUE(screen.expandedTo(sub->size()) == screen) << qPrintable(progId);
        EXPECT_LT(sub->windowTitle().size(), 100) << qPrintable(progId);
        EXPECT_TRUE(session.closeWindow(id));
    }
}

TEST_F(FrameApplicationTest, UnreadableStoredDataAndRegistryFilesAreToldAndTheDataKept) {
    qputenv("RQ16_REGISTRY_FILE", QFile::encodeName(Write("garbage.reg", "\x01\x02 no .reg\n")));
    standins::DataSet stored;
    stored.storedQsData = {0x01, 0x02, 0x03};
    stored.Save(dir.filePath(QStringLiteral("DataSet.json")));
    Session session(*this);
    const auto* log =
        session.window->findChild<QDockWidget*>("events")->findChild<QPlainTextEdit*>();
    const QString problem = "The stored QS data of the data set " + dir.filePath("DataSet.json") +
                            " cannot be read (Property bag contents are not readable). They are "
                            "kept until Identification reads the module.";
    EXPECT_TRUE(log->toPlainText().contains(problem)) << qPrintable(log->toPlainText());
    EXPECT_EQ(session.window->statusBar()->currentMessage(), problem);

    // Offline, a changed comment is saved; the unreadable bytes stay.
    const QString id = session.window->openFunction(QStringLiteral("RQ16Controls.Identification"));
    session.dtm->View(id)->findChild<QPlainTextEdit*>()->setPlainText(QStringLiteral("x"));
    EXPECT_TRUE(session.closeWindow(id));
    const standins::DataSet saved = standins::DataSet::Load(dir.filePath("DataSet.json"));
    EXPECT_EQ(saved.comment, QStringLiteral("x"));
    EXPECT_EQ(saved.storedQsData, stored.storedQsData);
    EXPECT_EQ(log->toPlainText().count(QStringLiteral("The registry file ")), 1);
    qunsetenv("RQ16_REGISTRY_FILE");
}

TEST_F(FrameApplicationTest, AFullDiskEndsAHeadlessRunWithTheReasonAndKeepsTheFile) {
    // A small file system of its own, filled up, in a mount namespace of the
    // run; the debug log goes there too.
    const QString before = dir.filePath(QStringLiteral("before.json"));
    standins::DataSet().Save(before);
    const QString registry =
        Write("debug.reg", "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orlin\\DTM kelio-DP]\n"
                           "\"DebugFile\"=dword:1\n");
    const QString full = dir.filePath(QStringLiteral("full"));
    QDir().mkpath(full);
    const QString script =
        QStringLiteral("mount -t tmpfs -o size=256k rq16full \"$0\" || exit\n"
                       "echo mounted\n"
                       "cp \"$1\" \"$0/set.json\"\n"
                       "dd if=/dev/zero of=\"$0/fill\" bs=1k 2>/dev/null\n"
                       "TEMP=\"$0\" RQ16_REGISTRY_FILE=\"$3\" \"$2\" --data-set \"$0/set.json\" "
                       "--screenshots \"$4\" --latency 0\n"
                       "echo \"exit $?\"\n"
                       "cmp -s \"$1\" \"$0/set.json\" && echo kept\n");
    QProcess run;
    run.start(QStringLiteral("unshare"),
              {QStringLiteral("-rm"), QStringLiteral("sh"), QStringLiteral("-c"), script, full,
               before, QCoreApplication::applicationDirPath() + QStringLiteral("/rq16frame"),
               registry, dir.filePath(QStringLiteral("pictures"))});
    run.waitForFinished(120000);
    const QByteArray out = run.readAllStandardOutput();
    if (!out.startsWith("mounted\n")) {
        GTEST_SKIP() << "No file system can be mounted here (unshare -rm, mount -t tmpfs): "
                     << run.errorString().toStdString() << " "
                     << run.readAllStandardError().toStdString();
    }
    EXPECT_TRUE(out.endsWith("exit 3\nkept\n")) << out.toStdString();
    EXPECT_TRUE(run.readAllStandardError().contains(
        "/full/set.json cannot be written: No space left on device."));
}

TEST(EventPanelFeed, AppendsTheLatestLinesOfABatchInOrderAndCountsTheRest) {
    QPlainTextEdit panel;
    frameapp::EventPanelFeed feed(&panel, 3, false);
    for (int line = 1; line <= 5; ++line) {
        feed.add(QStringLiteral("line %1").arg(line));
    }
    EXPECT_TRUE(panel.toPlainText().isEmpty()) << "nothing before the batch is due";
    SpinUntil([&] { return !panel.toPlainText().isEmpty(); });
    EXPECT_EQ(panel.toPlainText(), "(2 lines left out)\nline 3\nline 4\nline 5");
    feed.add(QStringLiteral("line 6"));
    feed.flush();
    EXPECT_EQ(panel.toPlainText().section(QLatin1Char('\n'), -1), "line 6");
}

} // namespace
