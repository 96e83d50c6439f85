#pragma once
// A recording communication object: requests are written to the call log and
// accepted or refused as the test says; the test delivers the answers itself,
// through the callback of the last request, whenever it wants.

#include "CallLog.h"

#include "frame/host/Communication.h"

#include <QString>

namespace rq16::test {

class FakeCommunication : public IBaseDtmCommunication {
public:
    explicit FakeCommunication(CallLog& log) : m_log(log) {}

    bool Connect(IBaseCommunicationCallback* callback, IConnectionTarget* target,
                 const QString& invokeId, const QString& protocolId,
                 const QString& request) override;
    bool Disconnect(const QString& communicationReference, IBaseCommunicationCallback* callback,
                    const QString& invokeId) override;
    bool TransactionRequest(const QString& communicationReference,
                            IBaseCommunicationCallback* callback, const QString& invokeId,
                            const QString& request) override;
    void VerifyConnectionResponse(bool inUse) override;

    // ---- answers, delivered by the test (answers in the fake parser's syntax) ----
    void answerConnect(const QString& answer) { answerConnect(lastConnectId, answer); }
    void answerConnect(const QString& invokeId, const QString& answer);
    void answerTransaction(const QString& answer) { answerTransaction(lastTransactionId, answer); }
    void answerTransaction(const QString& invokeId, const QString& answer);
    void answerDisconnect() { answerDisconnect(lastDisconnectId); }
    void answerDisconnect(const QString& invokeId);
    void requestVerification(const QString& invokeId);
    void abort(const QString& communicationReference = QStringLiteral("REF1"));

    bool acceptConnect = true;
    bool acceptTransaction = true;
    bool acceptDisconnect = true;

    IBaseCommunicationCallback* lastCallback = nullptr;
    QString lastConnectId;
    QString lastTransactionId;
    QString lastDisconnectId;
    QString lastRequest;

private:
    CallLog& m_log;
};

} // namespace rq16::test
