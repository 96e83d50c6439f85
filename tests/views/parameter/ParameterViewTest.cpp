// The Parameter view on the stand-ins: a whole cycle of reading, editing,
// writing back and releasing; the release question; the data set lock; data
// too short to edit; the layout.

#include "Parameter.h"

#include "Golden.h"
#include "StandIns.h"

#include "common/HelpUtilities.h"
#include "standins/dtm/FileReplace.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace rq16::test {
namespace {

using standins::LockHolder;
using Button = standins::ButtonControl::Button;

template <typename T = QCheckBox> T* Control(Parameter* view, int k, const char* name) {
    return view->channelParameter(k)->findChild<T*>(QString::fromLatin1(name));
}
QString Label(Parameter* view, const char* name) {
    return view->findChild<QLabel*>(QString::fromLatin1(name))->text();
}
/// What the user sees of the edit state: the elements' locks (one digit
/// each), OK and Apply when enabled, and the bar's message.
QString State(Parameter* view) {
    QString text;
    for (int k = 0; k < kChannelPairCount; ++k) {
        text += view->channelParameter(k)->Locked() ? QLatin1Char('1') : QLatin1Char('0');
    }
    auto& bar = StandIns::Bar(view);
    return text + (bar.isOkEnabled() ? " OK" : "") + (bar.isApplyEnabled() ? " Apply" : "") + ": " +
           bar.message();
}
standins::DataSet WithBytes(const ByteArray& bytes) {
    standins::DataSet data;
    data.parameterBytes = bytes;
    return data;
}

/// Channel readers that cannot read a document holding "unreadable" and
/// read channel number 9 from one holding "outside".
struct PickyComponents : standins::StandInComponentFactory {
    struct Reader : IChannelReader {
        std::unique_ptr<IChannelReader> real = StandInComponentFactory().CreateChannelReader();
        bool Parse(const QString& text, IDocumentContext* context) override {
            return !text.contains("unreadable") && real->Parse(text, context);
        }
        QString LastError() const override { return "no channel"; }
        ChannelObject Channel() const override {
            const ChannelObject channel = real->Channel();
            return channel.tag == "outside" ? ChannelObject{9, channel.tag} : channel;
        }
    };
    std::unique_ptr<IChannelReader> CreateChannelReader() override {
        return std::make_unique<Reader>();
    }
};

TEST(ParameterView, ReadsEditsWritesBackAndReleasesInOneCycle) {
    StandIns rig;
    PickyComponents components;
    SetComponentFactory(&components);
    standins::DataSet data = WithBytes({0xA7, 0x08, 0x53, 0xF0, 0x96, 0x77}); // flags 1, 2, 4, 7
    data.channelTags[2] = "Pump & valve";
    data.channelTags[4] = "unreadable";
    data.channelTags[6] = "outside";
    data.channelTags[7] = "eighth";
    rig.dtm.parameters().Replace(data);
    auto* view = rig.Open<Parameter>();
    const QString captions[] = {"Channel 1: Q1/Channel 2: Q2",
                                "Channel 3: Pump && valve/Channel 4: Q4",
                                "Channel 5: /Channel 6: Q6", "Channel 7: /Channel 8: eighth"};
    const ChannelPairRecord records[] = {{0xA0, true, 0, false, true},
                                         {0x00, false, 1, true, false},
                                         {0x50, false, 0, true, false},
                                         {0xF0, false, 0, false, true}};
    for (int k = 0; k < kChannelPairCount; ++k) {
        EXPECT_EQ(Control<QGroupBox>(view, k, "fraChannelParameter")->title(), captions[k]);
        EXPECT_EQ(view->channelParameter(k)->Record(), records[k]) << k;
    }
    EXPECT_EQ(StandIns::Bar(view).resourceManager(), rig.dtm.kernel().ResourceManager());

    view->ctlButtons_Apply(); // nothing to write
    // An edit rewrites its own pair; a change of the data set then rereads
    // and shows, the edit stays pending, and Apply writes every pair afresh.
    Control(view, 1, "chkChannelA")->click();
    rig.dtm.ChangeDataSet(WithBytes({0x0B, 0x01, 0x02, 0x43, 0x80}));
    StandIns::Bar(view).click(Button::Apply);
    view->ctlButtons_Apply();

    // OK writes and closes; Cancel closes without writing and leaves nothing
    // to ask about at release.
    Control<QComboBox>(view, 0, "cboFailsafeValue")->setCurrentIndex(kFailsafeLastValid);
    StandIns::Bar(view).click(Button::Ok);
    Control(view, 0, "chkChannelA")->click();
    view->ctlButtons_Cancel();
    view->ctlButtons_Close();
    view->ctlButtons_Help();
    ASSERT_EQ(OpenHelpWindowCount(), 1);
    EXPECT_TRUE(view->IDtmActiveXControl_PrepareToRelease());
    EXPECT_TRUE(view->IDtmActiveXControl_PrepareToRelease());
    EXPECT_EQ(OpenHelpWindowCount(), 0);
    EXPECT_EQ(rig.dtm.kernel().sinkCount() + rig.dtm.parameters().sinkCount(), 0u);

    ExpectGoldenRun(rig.log.lines(),
                    rig.calls.filter(QRegularExpression(
                        "^(Buttons|UiManager|UserDialog|ParameterManager.[SC])")),
                    "parameter", view);
}

TEST(ParameterView, EditPermissionAndDataSetLockSwitchTheViewReadOnly) {
    StandIns rig;
    rig.dtm.SetDataSetLock(LockHolder::OtherUser, "Bob");
    auto* view = rig.Open<Parameter>();
    EXPECT_EQ(State(view), "1111: ");
    const std::tuple<LockHolder, const char*, const char*> steps[] = {
        // Holding the lock offers Apply although nothing is dirty.
        {LockHolder::ThisDtm, "me", "0000 OK Apply: Data set locked by me"},
        // Unlocking makes the view read-only, unless the compatibility user unlocks.
        {LockHolder::Released, "COMPATIBILITY", "0000 OK Apply: Data set locked by me"},
        {LockHolder::Released, "compatibility", "1111: "},
        {LockHolder::ThisDtm, "me", "0000 OK Apply: Data set locked by me"},
        {LockHolder::OtherUser, "Anna", "1111: Data set locked by Anna"},
    };
    for (const auto& [holder, user, state] : steps) {
        rig.dtm.SetDataSetLock(holder, user);
        EXPECT_EQ(State(view), state) << user;
        EXPECT_FALSE(view->isDirty());
    }
}

TEST(ParameterView, AFailedWriteIsReportedAndKeepsTheEditsTheFileAndTheViewOpen) {
    using standins::WriteFault;
    using standins::WriteStep;
    const std::pair<std::optional<WriteFault>, QString> failures[] = {
        {std::nullopt, "the file is read-only"},
        {WriteFault{WriteStep::Create, ENOSPC}, "No space left on device"},
        {WriteFault{WriteStep::Write, ENOSPC}, "No space left on device"},
        {WriteFault{WriteStep::Write, 0}, "the new file holds 0 of 343 bytes"},
        {WriteFault{WriteStep::Sync, EIO}, "Input/output error"},
        {WriteFault{WriteStep::Verify, EIO}, "Input/output error"},
        {WriteFault{WriteStep::Close, EIO}, "Input/output error"},
        {WriteFault{WriteStep::Rename, EXDEV}, "Invalid cross-device link"},
        {WriteFault{WriteStep::SyncFolder, EIO}, "Input/output error"},
    };
    for (const auto& [fault, reason] : failures) {
        StandIns rig;
        QTemporaryDir dir;
        standins::RQ16Dtm::Options options;
        options.dataSetFile = dir.filePath("RQ16DataSet.json");
        standins::DataSet().Save(options.dataSetFile);
        if (!fault) {
            ::chmod(QFile::encodeName(options.dataSetFile).constData(), 0444);
        }
        standins::SetWriteFault(fault);
        standins::RQ16Dtm dtm(options);
        dtm.SetControlCreator(
            [](const QString&, QWidget* parent) { return new Parameter(parent); });
        auto* view = qobject_cast<Parameter*>(dtm.OpenFunction("View"));
        Control(view, 1, "chkInvertedLogic")->click();
        rig.calls.clear();
        ASSERT_TRUE(StandIns::Bar(view).click(Button::Ok));
        standins::SetWriteFault(std::nullopt);
        ASSERT_EQ(rig.calls.size(), 4) << qPrintable(reason);
        EXPECT_EQ(rig.calls[3].toStdString(),
                  ("Kernel.OnErrorMessage(RQ16 DO8 / slot 03,The parameters were not saved: The "
                   "data set file " +
                   options.dataSetFile + " cannot be written: " + reason + ".)")
                      .toStdString());
        EXPECT_TRUE(view->isDirty() && StandIns::Bar(view).isApplyEnabled());
        EXPECT_EQ(view->parameterBytes(), (ByteArray{0x00, 0x04, 0x00, 0x00, 0xFF}));
        EXPECT_EQ(dtm.parameters().data(), standins::DataSet());
        QFile file(options.dataSetFile);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly) &&
                    file.readAll() == standins::DataSet().ToJson())
            << qPrintable(reason);
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
                  QStringList("RQ16DataSet.json"));
    }
}

TEST(ParameterView, ShortDataAreShownReadOnlyAsFarAsPossibleAndNeverWritten) {
    StandIns rig;
    rig.dtm.parameters().Replace(WithBytes({0x00, 0x08, 0x04}));
    auto* view = rig.Open<Parameter>();
    const QString refused = "1111: The data set holds no valid parameters for this module.";
    EXPECT_EQ(State(view), refused);
    rig.dtm.ChangeDataSet(standins::DataSet());
    EXPECT_EQ(State(view), "0000 OK Apply: ");

    // An edit stays shown when the data become short again, and is never written.
    Control(view, 0, "chkShortDetection")->click();
    rig.log.clear();
    rig.calls.clear();
    rig.dtm.ChangeDataSet(WithBytes({0x00, 0x08, 0x04}));
    EXPECT_EQ(State(view), refused);
    EXPECT_EQ(view->channelParameter(0)->FailSafeParameter(), 0x80);
    // Release asks about the edit; yes tries to write it.
    rig.dtm.userDialog().SetAutomaticAnswer(kIdYes);
    view->IDtmActiveXControl_PrepareToRelease();
    EXPECT_EQ(
        rig.calls.filter(QRegularExpression("^(UserDialog|ParameterManager.Set|Kernel.OnError)")),
        (QStringList{"UserDialog.AskUser(The parameters have been changed. Do you want to apply "
                     "the changes?,RQ16 DO8,4)",
                     "Kernel.OnErrorMessage(RQ16 DO8 / slot 03,The parameters were not saved: "
                     "The data set holds no valid parameters for this module.)"}));
    // Both the kernel and the parameter manager tell of the change.
    EXPECT_EQ(rig.log.lines().filter("Error"),
              QStringList(2, "Parameter_GetAllValues, Error: : parameter data has 3 bytes, 5 "
                             "are needed"));
}

TEST(ParameterView, ShowsThePairsTwoByTwoAboveTheButtonBar) {
    StandIns rig;
    standins::DataSet data;
    data.typeName = "<b>DO8</b>";
    data.slotNumber = 12;
    rig.dtm.parameters().Replace(data);
    auto* view = rig.Open<Parameter>();
    view->show();
    view->resize(900, 600);
    const auto box = [&](int k) { return view->channelParameter(k)->geometry(); };
    const auto label = [&](const char* name) {
        return view->findChild<QLabel*>(QString::fromLatin1(name))->geometry();
    };
    // Pixels between module type and slot label, slot label and number, and
    // between the pairs across and down.
    const auto gap = [](const QRect& a, const QRect& b) {
        return b.left() > a.right() ? b.left() - a.right() - 1 : b.top() - a.bottom() - 1;
    };
    EXPECT_EQ(
        (QList<int>{gap(label("lblModuleType"), label("lblSlotNumberLabel")),
                    gap(label("lblSlotNumberLabel"), label("lblSlotNumber")), gap(box(0), box(1)),
                    gap(box(2), box(3)), gap(box(0), box(2)), gap(box(1), box(3))}),
        (QList<int>{8, 4, 8, 8, 12, 12}));
    EXPECT_EQ(Label(view, "lblModuleType") + Label(view, "lblSlotNumberLabel") +
                  Label(view, "lblSlotNumber"),
              "<b>DO8</b>: Slot12");
    EXPECT_EQ(view->findChild<QLabel*>("lblModuleType")->textFormat(), Qt::PlainText);
    EXPECT_EQ(box(0).top(), box(1).top());
    EXPECT_EQ(box(0).left(), box(2).left());
    EXPECT_LE(view->findChild<QWidget*>("Content")->geometry().bottom(),
              view->buttonBar()->widget()->geometry().top());
}

} // namespace
} // namespace rq16::test
