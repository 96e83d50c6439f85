#pragma once
// The DTM stand-in: owns its kernel and data set, opens the views through a
// control creator that the host provides, and runs their release.
//
//   RQ16Dtm::Options options;
//   options.dataSetFile = "/path/RQ16DataSet.json";   // empty: in memory only
//   RQ16Dtm dtm(options);
//   dtm.SetHost(&host);                          // IFrameHost callbacks
//   dtm.SetCommunication(&communication);       // element 0 of CommunicationObjects
//   dtm.SetControlCreator([](const QString& progId, QWidget* parent) { ... });
//   QString id;
//   QWidget* view = dtm.OpenFunction("RQ16Controls.Diagnosis", parent, &id);
//
// With automatic release (the default) a view's RequestClose makes the DTM
// call its PrepareToRelease later from the event loop, and its
// PreparedToRelease makes the DTM delete it later (deleteLater) and tell the
// host with OnViewDestroyed. Without it the host drives the release with
// ReleaseView and DestroyView.

#include "DtmKernel.h"

#include "host/Communication.h"
#include "host/Constants.h"

#include <QObject>
#include <QPointer>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>

namespace rq16::standins {

class FdtChannel : public IFdtChannel {
public:
    FdtChannel(ParameterManager& parameters, QString protocolId, int number)
        : m_parameters(parameters), m_protocolId(std::move(protocolId)), m_number(number) {}
    /// The channel document (number and tag) for "FDT" and the DTM's protocol.
    QString GetDocumentPart(const QString& parameterPath, const QString& protocolId) override;

private:
    ParameterManager& m_parameters;
    QString m_protocolId;
    int m_number;
};

class RQ16Dtm : public QObject, public IDtm {
    Q_OBJECT
public:
    /// Protocol id of the DTM's communication (PROFIBUS DP).
    static const QString kProtocolId;

    struct Options {
        /// The data set file; empty keeps the data set in memory only.
        QString dataSetFile;
        /// The common resource folder, the kernel resource manager's default
        /// folder; empty: the folder beside the running program.
        QString commonFolder;
        QString protocolId = kProtocolId;
        DtmInfoObject information{QStringLiteral("RQ16 DO8 Device DTM"), QStringLiteral("2.1.0"), 1,
                                  2};
        /// The kernel's state number (4: configured, offline; 6: online).
        int state = 4;
        /// Name reported with the lock events of this DTM.
        QString userName;
    };

    using ControlCreator = std::function<QWidget*(const QString& progId, QWidget* parent)>;

    enum class ViewState { Open, Releasing, Prepared };

    /// "RQ16DataSet.json" in the user's application data folder, a place
    /// for the data set file of a frame application.
    static QString DefaultDataSetFile();

    RQ16Dtm();
    /// Throws ComError when the data set file exists but cannot be read.
    explicit RQ16Dtm(const Options& options);
    ~RQ16Dtm() override;

    // IDtm
    IDtmKernel* DtmKernel() override { return m_kernel.get(); }
    std::vector<IBaseDtmCommunication*> CommunicationObjects() override {
        return {m_communication};
    }
    QString ProtocolId() override { return m_protocolId; }
    int ChannelCount() override { return kChannelCount; }
    /// Channel `index` from 1 to 8; nullptr outside.
    IFdtChannel* Channel(int index) override;

    // ---- set-up by the host ----
    void SetHost(IFrameHost* host) { m_host = host; }
    IFrameHost* host() const { return m_host; }
    void SetCommunication(IBaseDtmCommunication* communication) { m_communication = communication; }
    void SetControlCreator(ControlCreator creator) { m_creator = std::move(creator); }
    void SetAutomaticRelease(bool on) { m_automaticRelease = on; }
    standins::DtmKernel& kernel() { return *m_kernel; }
    standins::ParameterManager& parameters() { return m_kernel->parameters(); }
    standins::UserDialog& userDialog() { return m_kernel->userDialog(); }

    // ---- views ----
    /// Creates the control for `progId` with the creator, calls its Init with
    /// a fresh invoke id (put into `invokeId` if given) and returns it.
    /// Returns nullptr if there is no creator, the creator gives nothing, the
    /// control is no view, or Init returns false (the control is deleted).
    QWidget* OpenFunction(const QString& progId, QWidget* parent = nullptr,
                          QString* invokeId = nullptr);
    /// Calls PrepareToRelease of the view now; returns its result (false for
    /// an unknown id). The view is destroyed after its PreparedToRelease.
    bool ReleaseView(const QString& invokeId);
    /// Releases every open view (as ReleaseView).
    void ReleaseAllViews();
    /// Deletes the view's widget later and forgets it.
    void DestroyView(const QString& invokeId);
    QWidget* View(const QString& invokeId) const;
    std::optional<ViewState> StateOf(const QString& invokeId) const;
    QStringList OpenViews() const;

    // ---- the data set and the lock, as other users change them ----
    /// Reads the data set file again and raises ParameterChanged on the
    /// kernel and the parameter manager. A file that cannot be read throws
    /// ComError and changes nothing: the data set and the views stay as
    /// they are.
    void ReloadDataSet();
    /// Replaces the data set as a change from outside, raising
    /// ParameterChanged likewise.
    void ChangeDataSet(const DataSet& data);
    void SetDataSetLock(LockHolder holder, const QString& userName);
    void SetState(int state) { m_kernel->SetState(state); }

    // ---- called by the kernel's objects ----
    void HandleInitFinished(const QString& invokeId);
    void HandleRequestClose(const QString& invokeId);
    void HandlePreparedToRelease(const QString& invokeId);
    void HandleErrorMessage(const QString& systemTag, const QString& message);

private:
    struct OpenView {
        QString progId;
        QPointer<QWidget> widget;
        IDtmActiveXControl* control = nullptr;
        ViewState state = ViewState::Open;
    };

    QString NewInvokeId();

    QString m_protocolId;
    std::unique_ptr<standins::DtmKernel> m_kernel;
    std::vector<std::unique_ptr<FdtChannel>> m_channels;
    IFrameHost* m_host = nullptr;
    IBaseDtmCommunication* m_communication = nullptr;
    ControlCreator m_creator;
    bool m_automaticRelease = true;
    std::map<QString, OpenView> m_views;
    int m_invokeCounter = 0;
};

} // namespace rq16::standins
