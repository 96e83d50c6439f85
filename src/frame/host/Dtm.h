#pragma once
// The DTM object, its kernel and the kernel's managers, as the views see them.

#include "Types.h"

#include <QString>

#include <vector>

namespace rq16 {

class IResourceManager;
class IBaseDtmCommunication;

/// Opaque object of the kernel handed to every document reader and parser.
class IDocumentContext {
public:
    virtual ~IDocumentContext() = default;
};

/// Opaque object of the kernel handed to Connect.
class IConnectionTarget {
public:
    virtual ~IConnectionTarget() = default;
};

class IUiManager {
public:
    virtual ~IUiManager() = default;
    virtual void InitFinished(const QString& invokeId) = 0;
    virtual void RequestClose(const QString& invokeId) = 0;
    virtual void PreparedToRelease(const QString& invokeId) = 0;
    virtual bool IsEditAllowed() = 0;
    /// Writes the data set. When it cannot be written it throws ComError
    /// (number kErrFileAccess) whose description names the file and the
    /// reason, for the view to report; the data set then keeps what its file
    /// holds, without the changes since the last successful write.
    virtual bool RequestDataSetSave() = 0;
    virtual bool RequestDataSetUnlock() = 0;
};

class IUserDialog {
public:
    virtual ~IUserDialog() = default;
    /// Asks the user; style kMbYesNo offers Yes and No, the answer is kIdYes
    /// or kIdNo.
    virtual int AskUser(const QString& text, const QString& caption, int style) = 0;
};

class IDtmInformation {
public:
    virtual ~IDtmInformation() = default;
    virtual QString InfoDocument() = 0;
};

/// Receiver of the parameter manager's events.
class IParameterManagerEvents {
public:
    virtual ~IParameterManagerEvents() = default;
    virtual void ParameterManager_ParameterChanged() = 0;
};

class IParameterManager {
public:
    virtual ~IParameterManager() = default;

    // Request documents of the online views.
    virtual QString GetConnectRequest(bool full) = 0;
    virtual QString GetReadDiagnosisRequest(const QString& communicationReference) = 0;
    virtual QString GetReadOutputValuesRequest(const QString& communicationReference) = 0;
    virtual QString GetSimulationReadRequest(const QString& communicationReference) = 0;
    virtual QString GetGlobalForcingEnableRequest(const QString& communicationReference) = 0;
    virtual QString GetWriteForceValuesRequest(const QString& communicationReference,
                                               const ByteArray& forceValues) = 0;
    virtual QString GetReadQsDataRequest(const QString& communicationReference) = 0;

    // The module's parameter bytes in the data set.
    virtual void GetParameterBytes(ByteArray& bytes) = 0;
    virtual void SetParameterBytes(const ByteArray& bytes) = 0;
    /// Writes the data set; fails as IUiManager::RequestDataSetSave does.
    virtual void CommitParameters() = 0;

    /// The module's document for the protocol, as text.
    virtual QString GetDocumentPart(const QString& parameterPath, const QString& protocolId) = 0;
    virtual std::int32_t SlotNumber() = 0;
    virtual QString SystemTag() = 0;

    // Identification data kept in the data set.
    virtual ByteArray StoredQsData() = 0;
    virtual void SetStoredQsData(const ByteArray& contents) = 0;
    virtual ByteArray StoredIMData() = 0;
    virtual void SetStoredIMData(const ByteArray& contents) = 0;
    virtual QString StoredComment() = 0;
    virtual void SetStoredComment(const QString& comment) = 0;

    virtual void Advise(IParameterManagerEvents* sink) = 0;
    virtual void Unadvise(IParameterManagerEvents* sink) = 0;
};

/// Receiver of the kernel's events (the base DTM interface).
class IBaseDtmEvents {
public:
    virtual ~IBaseDtmEvents() = default;
    virtual void BaseDtm_LockDataSet(const QString& userName) = 0;
    virtual void BaseDtm_UnlockDataSet(const QString& userName) = 0;
    virtual void BaseDtm_ParameterChanged() = 0;
};

class IDtmKernel {
public:
    virtual ~IDtmKernel() = default;
    virtual IResourceManager* ResourceManager() = 0;
    virtual IDocumentContext* DocumentContext() = 0;
    virtual IConnectionTarget* ConnectionTarget() = 0;
    virtual IParameterManager* ParameterManager() = 0;
    virtual IUiManager* UiManager() = 0;
    virtual IUserDialog* UserDialog() = 0;
    virtual IDtmInformation* DtmInformation() = 0;
    virtual bool HoldsDataSetLock() = 0;
    virtual int state() = 0;
    /// Forwards an error message to the frame application.
    virtual void OnErrorMessage(const QString& systemTag, const QString& message) = 0;

    virtual void Advise(IBaseDtmEvents* sink) = 0;
    virtual void Unadvise(IBaseDtmEvents* sink) = 0;
};

/// One FDT channel of the DTM.
class IFdtChannel {
public:
    virtual ~IFdtChannel() = default;
    virtual QString GetDocumentPart(const QString& parameterPath, const QString& protocolId) = 0;
};

class IDtm {
public:
    virtual ~IDtm() = default;
    virtual IDtmKernel* DtmKernel() = 0;
    /// Element 0 is the communication object of the online views.
    virtual std::vector<IBaseDtmCommunication*> CommunicationObjects() = 0;
    virtual QString ProtocolId() = 0;
    virtual int ChannelCount() = 0;
    /// Channel item `index`, counted from 1.
    virtual IFdtChannel* Channel(int index) = 0;
};

/// Implemented by every view: the frame application's handle on it.
class IDtmActiveXControl {
public:
    virtual ~IDtmActiveXControl() = default;
    virtual bool IDtmActiveXControl_Init(const QString& invokeId, const QString& functionCall,
                                         IDtm* Dtm) = 0;
    virtual bool IDtmActiveXControl_PrepareToRelease() = 0;
};

} // namespace rq16
