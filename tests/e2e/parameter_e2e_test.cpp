// The Parameter view on the DTM stand-in: edits go through the parameter
// manager into the data set file and are shown again after reopening.

#include "Parameter.h"

#include "ComponentRegistry.h"
#include "standins/StandInComponents.h"
#include "standins/buttons/ButtonControl.h"
#include "standins/dtm/DataSet.h"
#include "standins/dtm/RQ16Dtm.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QGroupBox>
#include <QLabel>
#include <QPointer>
#include <QTemporaryDir>

#include "EventLoop.h"

#include <gtest/gtest.h>

#include <memory>

#include <sys/stat.h>

namespace rq16 {
namespace {

const QString kProgId = QStringLiteral("RQ16Controls.Parameter");

class ParameterEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        SetComponentFactory(&factory);
    }
    void TearDown() override { SetComponentFactory(nullptr); }

    QString dataSetFile() const { return dir.filePath(QStringLiteral("RQ16DataSet.json")); }

    std::unique_ptr<standins::RQ16Dtm> newDtm() {
        standins::RQ16Dtm::Options options;
        options.dataSetFile = dataSetFile();
        auto dtm = std::make_unique<standins::RQ16Dtm>(options);
        dtm->SetControlCreator([](const QString& progId, QWidget* parent) -> QWidget* {
            return progId == kProgId ? new Parameter(parent) : nullptr;
        });
        return dtm;
    }

    static Parameter* open(standins::RQ16Dtm& dtm) {
        auto* view = qobject_cast<Parameter*>(dtm.OpenFunction(kProgId));
        EXPECT_NE(view, nullptr);
        return view;
    }

    static standins::ButtonControl* bar(Parameter* view) {
        return dynamic_cast<standins::ButtonControl*>(view->buttonBar());
    }

    /// Runs the event loop until the view has been destroyed by its DTM.
    static bool waitUntilDestroyed(QPointer<QWidget> view) {
        return test::SpinUntil([&] { return view.isNull(); });
    }

    static void editSomeParameters(Parameter* view) {
        view->channelParameter(1)
            ->findChild<QCheckBox*>(QStringLiteral("chkInvertedLogic"))
            ->click();
        view->channelParameter(3)
            ->findChild<QComboBox*>(QStringLiteral("cboFailsafeValue"))
            ->setCurrentIndex(kFailsafeLastValid);
        view->channelParameter(0)->findChild<QCheckBox*>(QStringLiteral("chkChannelA"))->click();
    }
    /// The data set bytes after editSomeParameters on the defaults.
    const ByteArray kEditedBytes{0x00, 0x04, 0x00, 0x20, 0xFE};

    QTemporaryDir dir;
    standins::StandInComponentFactory factory;
};

/// Records what the views report to the frame application.
struct ErrorHost : standins::IFrameHost {
    QStringList errors;
    int closeRequests = 0;
    void OnErrorMessage(const QString&, const QString& message) override { errors << message; }
    void OnRequestClose(const QString&) override { ++closeRequests; }
};

TEST_F(ParameterEndToEnd, AFailedWriteIsReportedAndKeepsTheEditsAndTheViewOpen) {
    newDtm()->parameters().Save();
    ::chmod(QFile::encodeName(dataSetFile()).constData(), 0444);
    auto dtm = newDtm();
    ErrorHost host;
    dtm->SetHost(&host);
    Parameter* view = open(*dtm);
    ASSERT_NE(view, nullptr);
    editSomeParameters(view);

    ASSERT_TRUE(bar(view)->click(standins::ButtonControl::Button::Ok));
    ASSERT_EQ(host.errors.size(), 1);
    EXPECT_TRUE(host.errors[0].startsWith(QStringLiteral("The parameters were not saved: ")) &&
                host.errors[0].contains(dataSetFile()))
        << qPrintable(host.errors[0]);
    EXPECT_TRUE(view->isDirty() && bar(view)->isApplyEnabled());
    EXPECT_EQ(host.closeRequests, 0) << "OK does not close after a failed write";
    EXPECT_EQ(dtm->parameters().data().parameterBytes, standins::DataSet().parameterBytes);
    EXPECT_EQ(view->parameterBytes(), kEditedBytes);
    dtm->SetHost(nullptr);
}

TEST_F(ParameterEndToEnd, ShortParameterDataAreShownReadOnlyAndNeverPretendToBeSaved) {
    standins::DataSet data;
    data.parameterBytes = {0x00, 0x04, 0x00};
    data.typeName = QStringLiteral("<h1 style=\"color:red\">BIG</h1>");
    data.channelTags[0] = QStringLiteral("Pump & valve");
    auto dtm = newDtm();
    dtm->ChangeDataSet(data);
    Parameter* view = open(*dtm);
    ASSERT_NE(view, nullptr);
    EXPECT_TRUE(view->channelParameter(0)->Locked());
    EXPECT_FALSE(bar(view)->isOkEnabled() || bar(view)->isApplyEnabled());
    EXPECT_EQ(bar(view)->message(),
              QStringLiteral("The data set holds no valid parameters for this module."));

    // Texts from the data set are shown as they are.
    view->grab();
    const auto* type = view->findChild<QLabel*>(QStringLiteral("lblModuleType"));
    EXPECT_EQ(type->textFormat(), Qt::PlainText);
    EXPECT_TRUE(type->text().startsWith(data.typeName));
    const auto* frame =
        view->channelParameter(0)->findChild<QGroupBox*>(QStringLiteral("fraChannelParameter"));
    EXPECT_TRUE(frame->title().contains(QStringLiteral("Pump && valve")));

    data.parameterBytes = standins::DataSet().parameterBytes;
    dtm->ChangeDataSet(data);
    EXPECT_FALSE(view->channelParameter(0)->Locked()) << "valid data make the view editable";
    EXPECT_TRUE(bar(view)->message().isEmpty());
}

} // namespace
} // namespace rq16
