#pragma once
// The base DTM communication object and the callback through which its
// answers arrive.

#include "Types.h"

#include <QString>

namespace rq16 {

class IConnectionTarget;

/// Implemented by every online view. Answers always arrive later, on the
/// user-interface thread, never inside the request call.
class IBaseCommunicationCallback {
public:
    virtual ~IBaseCommunicationCallback() = default;
    virtual void IBaseCommunicationCallback_OnConnectResponse(const QString& invokeId,
                                                              const QString& response) = 0;
    virtual void IBaseCommunicationCallback_OnTransactionResponse(const QString& invokeId,
                                                                  const QString& response) = 0;
    virtual void IBaseCommunicationCallback_OnDisconnectResponse(const QString& invokeId,
                                                                 const QString& response) = 0;
    virtual void IBaseCommunicationCallback_VerifyConnectionRequest(const QString& invokeId,
                                                                    const QString& response) = 0;
    virtual void IBaseCommunicationCallback_OnAbort(const QString& communicationReference) = 0;
};

class IBaseDtmCommunication {
public:
    virtual ~IBaseDtmCommunication() = default;
    /// Each returns true when the request was accepted; its answer follows on
    /// the callback with the same invoke id.
    virtual bool Connect(IBaseCommunicationCallback* callback, IConnectionTarget* target,
                         const QString& invokeId, const QString& protocolId,
                         const QString& request) = 0;
    virtual bool Disconnect(const QString& communicationReference,
                            IBaseCommunicationCallback* callback, const QString& invokeId) = 0;
    virtual bool TransactionRequest(const QString& communicationReference,
                                    IBaseCommunicationCallback* callback, const QString& invokeId,
                                    const QString& request) = 0;
    /// Confirms that a connection is still in use.
    virtual void VerifyConnectionResponse(bool inUse) = 0;
};

} // namespace rq16
