#include "FakeCommunication.h"

namespace rq16::test {

namespace {
QString Accepted(bool accepted) {
    return accepted ? QStringLiteral("true") : QStringLiteral("false");
}
} // namespace

bool FakeCommunication::Connect(IBaseCommunicationCallback* callback, IConnectionTarget* target,
                                const QString& invokeId, const QString& protocolId,
                                const QString& request) {
    Q_UNUSED(target);
    m_log.add(QStringLiteral("Communication.Connect(%1,%2,%3)=%4")
                  .arg(invokeId, protocolId, request, Accepted(acceptConnect)));
    lastCallback = callback;
    lastConnectId = invokeId;
    lastRequest = request;
    return acceptConnect;
}

bool FakeCommunication::Disconnect(const QString& communicationReference,
                                   IBaseCommunicationCallback* callback, const QString& invokeId) {
    m_log.add(QStringLiteral("Communication.Disconnect(%1,%2)=%3")
                  .arg(communicationReference, invokeId, Accepted(acceptDisconnect)));
    lastCallback = callback;
    lastDisconnectId = invokeId;
    return acceptDisconnect;
}

bool FakeCommunication::TransactionRequest(const QString& communicationReference,
                                           IBaseCommunicationCallback* callback,
                                           const QString& invokeId, const QString& request) {
    m_log.add(QStringLiteral("Communication.TransactionRequest(%1,%2,%3)=%4")
                  .arg(communicationReference, invokeId, request, Accepted(acceptTransaction)));
    lastCallback = callback;
    lastTransactionId = invokeId;
    lastRequest = request;
    return acceptTransaction;
}

void FakeCommunication::VerifyConnectionResponse(bool inUse) {
    m_log.add(QStringLiteral("Communication.VerifyConnectionResponse(%1)").arg(Accepted(inUse)));
}

void FakeCommunication::answerConnect(const QString& invokeId, const QString& answer) {
    lastCallback->IBaseCommunicationCallback_OnConnectResponse(invokeId, answer);
}

void FakeCommunication::answerTransaction(const QString& invokeId, const QString& answer) {
    lastCallback->IBaseCommunicationCallback_OnTransactionResponse(invokeId, answer);
}

void FakeCommunication::answerDisconnect(const QString& invokeId) {
    lastCallback->IBaseCommunicationCallback_OnDisconnectResponse(invokeId, QStringLiteral("OK"));
}

void FakeCommunication::requestVerification(const QString& invokeId) {
    lastCallback->IBaseCommunicationCallback_VerifyConnectionRequest(invokeId, QString());
}

void FakeCommunication::abort(const QString& communicationReference) {
    lastCallback->IBaseCommunicationCallback_OnAbort(communicationReference);
}

} // namespace rq16::test
