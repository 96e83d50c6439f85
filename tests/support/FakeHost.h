#pragma once
// Recording fakes of the DTM, its kernel and the kernel's managers.

#include "CallLog.h"
#include "FakeComponents.h"

#include "frame/host/Communication.h"
#include "frame/host/Dtm.h"

#include <functional>
#include <memory>
#include <vector>

namespace rq16::test {

class FakeUiManager : public IUiManager {
public:
    explicit FakeUiManager(CallLog& log) : m_log(log) {}
    void InitFinished(const QString& id) override {
        m_log.add("UiManager.InitFinished(" + id + ")");
    }
    void RequestClose(const QString& id) override {
        m_log.add("UiManager.RequestClose(" + id + ")");
        if (onRequestClose) {
            onRequestClose(id);
        }
    }
    void PreparedToRelease(const QString& id) override {
        m_log.add("UiManager.PreparedToRelease(" + id + ")");
    }
    bool IsEditAllowed() override {
        m_log.add("UiManager.IsEditAllowed");
        return editAllowed;
    }
    bool RequestDataSetSave() override {
        m_log.add("UiManager.RequestDataSetSave");
        return true;
    }
    bool RequestDataSetUnlock() override {
        m_log.add("UiManager.RequestDataSetUnlock");
        return true;
    }

    bool editAllowed = true;
    std::function<void(const QString&)> onRequestClose;

private:
    CallLog& m_log;
};

class FakeUserDialog : public IUserDialog {
public:
    explicit FakeUserDialog(CallLog& log) : m_log(log) {}
    int AskUser(const QString& text, const QString& caption, int style) override {
        m_log.add(QStringLiteral("UserDialog.AskUser(%1,%2,%3)").arg(text, caption).arg(style));
        return answer;
    }
    int answer = kIdNo;

private:
    CallLog& m_log;
};

class FakeDtmInformation : public IDtmInformation {
public:
    QString InfoDocument() override {
        if (fails) {
            throw ComError(kErrInvalidArg, QStringLiteral("information not available"));
        }
        return document;
    }
    bool fails = false;
    /// Fake InfoReader syntax: name|dtmRevision|fdtMajor|fdtMinor.
    QString document = QStringLiteral("RQ16 DO8 DTM|2.3.1|1|2");
};

class FakeParameterManager : public IParameterManager {
public:
    explicit FakeParameterManager(CallLog& log) : m_log(log) {}

    QString GetConnectRequest(bool full) override {
        m_log.add(QStringLiteral("ParameterManager.GetConnectRequest(%1)").arg(full));
        return QStringLiteral("CONNECT-REQUEST");
    }
    QString GetReadDiagnosisRequest(const QString& ref) override {
        return request(QStringLiteral("ReadDiagnosis"), ref);
    }
    QString GetReadOutputValuesRequest(const QString& ref) override {
        return request(QStringLiteral("ReadOutputValues"), ref);
    }
    QString GetSimulationReadRequest(const QString& ref) override {
        return request(QStringLiteral("SimulationRead"), ref);
    }
    QString GetGlobalForcingEnableRequest(const QString& ref) override {
        return request(QStringLiteral("GlobalForcingEnable"), ref);
    }
    QString GetWriteForceValuesRequest(const QString& ref, const ByteArray& block) override {
        return request(QStringLiteral("WriteForceValues"), ref) + QLatin1Char(':') + Hex(block);
    }
    QString GetReadQsDataRequest(const QString& ref) override {
        return request(QStringLiteral("ReadQsData"), ref);
    }

    void GetParameterBytes(ByteArray& bytes) override {
        m_log.add("ParameterManager.GetParameterBytes");
        bytes = parameterBytes;
    }
    void SetParameterBytes(const ByteArray& bytes) override {
        m_log.add("ParameterManager.SetParameterBytes(" + Hex(bytes) + ")");
        parameterBytes = bytes;
    }
    void CommitParameters() override { m_log.add("ParameterManager.CommitParameters"); }

    QString GetDocumentPart(const QString& path, const QString& protocolId) override {
        m_log.add("ParameterManager.GetDocumentPart(" + path + "," + protocolId + ")");
        return moduleDocument;
    }
    std::int32_t SlotNumber() override { return slotNumber; }
    QString SystemTag() override { return QStringLiteral("SYSTAG"); }

    ByteArray StoredQsData() override { return storedQs; }
    void SetStoredQsData(const ByteArray& c) override {
        m_log.add("ParameterManager.SetStoredQsData");
        storedQs = c;
    }
    ByteArray StoredIMData() override { return storedIM; }
    void SetStoredIMData(const ByteArray& c) override {
        m_log.add("ParameterManager.SetStoredIMData");
        storedIM = c;
    }
    QString StoredComment() override { return storedComment; }
    void SetStoredComment(const QString& c) override {
        m_log.add("ParameterManager.SetStoredComment(" + c + ")");
        storedComment = c;
    }

    void Advise(IParameterManagerEvents* sink) override { sinks.push_back(sink); }
    void Unadvise(IParameterManagerEvents* sink) override { std::erase(sinks, sink); }
    void RaiseParameterChanged() {
        for (auto* s : std::vector(sinks)) {
            s->ParameterManager_ParameterChanged();
        }
    }

    static QString Hex(const ByteArray& bytes);

    ByteArray parameterBytes = ByteArray(5, 0);
    /// Fake ModuleReader syntax: slotNumber|typeName.
    QString moduleDocument = QStringLiteral("5|RQ16 DO8");
    std::int32_t slotNumber = 5;
    ByteArray storedQs;
    ByteArray storedIM;
    QString storedComment;
    std::vector<IParameterManagerEvents*> sinks;

private:
    QString request(const QString& kind, const QString& ref) {
        m_log.add("ParameterManager.Get" + kind + "Request(" + ref + ")");
        return "REQ:" + kind + ":" + ref;
    }
    CallLog& m_log;
};

class FakeKernel : public IDtmKernel {
public:
    explicit FakeKernel(CallLog& log)
        : uiManager(log), userDialog(log), parameterManager(log), resourceManager(log), m_log(log) {
        resourceManager.SetLanguage(QStringLiteral("en"));
        resourceManager.SetDefaultFolder(QStringLiteral("/kernel/default"));
    }

    IResourceManager* ResourceManager() override { return &resourceManager; }
    IDocumentContext* DocumentContext() override { return &documentContext; }
    IConnectionTarget* ConnectionTarget() override { return &connectionTarget; }
    IParameterManager* ParameterManager() override { return &parameterManager; }
    IUiManager* UiManager() override { return &uiManager; }
    IUserDialog* UserDialog() override { return &userDialog; }
    IDtmInformation* DtmInformation() override { return &information; }
    bool HoldsDataSetLock() override { return holdsLock; }
    int state() override { return kernelState; }
    void OnErrorMessage(const QString& tag, const QString& message) override {
        m_log.add("Kernel.OnErrorMessage(" + tag + "," + message + ")");
    }
    void Advise(IBaseDtmEvents* sink) override { sinks.push_back(sink); }
    void Unadvise(IBaseDtmEvents* sink) override { std::erase(sinks, sink); }

    void RaiseLockDataSet(const QString& user) {
        for (auto* s : std::vector(sinks)) {
            s->BaseDtm_LockDataSet(user);
        }
    }
    void RaiseUnlockDataSet(const QString& user) {
        for (auto* s : std::vector(sinks)) {
            s->BaseDtm_UnlockDataSet(user);
        }
    }
    void RaiseParameterChanged() {
        for (auto* s : std::vector(sinks)) {
            s->BaseDtm_ParameterChanged();
        }
    }

    FakeUiManager uiManager;
    FakeUserDialog userDialog;
    FakeParameterManager parameterManager;
    FakeResourceManager resourceManager;
    FakeDtmInformation information;
    IDocumentContext documentContext;
    IConnectionTarget connectionTarget;
    bool holdsLock = true;
    int kernelState = 4;
    std::vector<IBaseDtmEvents*> sinks;

private:
    CallLog& m_log;
};

class FakeChannel : public IFdtChannel {
public:
    explicit FakeChannel(QString doc) : document(std::move(doc)) {}
    QString GetDocumentPart(const QString&, const QString&) override { return document; }
    /// Fake ChannelReader syntax: channelNumber|tag.
    QString document;
};

class FakeDtm : public IDtm {
public:
    explicit FakeDtm(CallLog& log) : kernel(log) {
        for (int c = 1; c <= 8; ++c) {
            channels.push_back(std::make_unique<FakeChannel>(QStringLiteral("%1|Q%1").arg(c)));
        }
    }
    IDtmKernel* DtmKernel() override { return &kernel; }
    std::vector<IBaseDtmCommunication*> CommunicationObjects() override { return communication; }
    QString ProtocolId() override { return QStringLiteral("{PROTOCOL}"); }
    int ChannelCount() override { return static_cast<int>(channels.size()); }
    IFdtChannel* Channel(int index) override {
        return channels.at(static_cast<size_t>(index - 1)).get();
    }

    FakeKernel kernel;
    std::vector<IBaseDtmCommunication*> communication;
    std::vector<std::unique_ptr<FakeChannel>> channels;
};

} // namespace rq16::test
