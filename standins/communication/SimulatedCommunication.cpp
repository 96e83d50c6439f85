#include "SimulatedCommunication.h"

#include "Documents.h"

#include "standins/CallRecorder.h"

#include <QTimer>

namespace rq16::standins {

namespace {

using simulator::Reply;

/// Text that no parser accepts as an answer document.
const QString kBrokenAnswer = QStringLiteral("<Response><Data>00");

QString ReplyDocument(const Reply& reply) {
    if (!reply.positive) {
        return documents::ErrorResponse(reply.errorText);
    }
    return reply.hasData ? documents::DataResponse(reply.data) : documents::EmptyResponse();
}

} // namespace

SimulatedCommunication::SimulatedCommunication(simulator::SimulatedModule& module, QObject* parent)
    : QObject(parent), m_module(module) {}

SimulatedCommunication::~SimulatedCommunication() = default;

SimulatedCommunication::Target
SimulatedCommunication::MakeTarget(IBaseCommunicationCallback* callback) {
    Target target;
    target.callback = callback;
    if (auto* object = dynamic_cast<QObject*>(callback)) {
        target.object = object;
        target.watched = true;
    }
    return target;
}

void SimulatedCommunication::Record(const QString& operation, const QString& invokeId,
                                    const QString& reference, const QString& document,
                                    bool accepted) {
    if (m_requests.size() == kKeptRequests) {
        m_requests.pop_front();
    }
    m_requests.push_back({operation, invokeId, reference, document, accepted});
    if (m_requestObserver) {
        m_requestObserver(m_requests.back());
    }
    RecordCall(QStringLiteral("Communication.%1(%2)=%3")
                   .arg(operation, reference.isEmpty() ? invokeId : reference + "," + invokeId,
                        RecordedBool(accepted)));
    emit traffic(QStringLiteral("%1 %2 [%3]%4")
                     .arg(operation, invokeId, reference,
                          accepted ? QString() : QStringLiteral(" refused")));
}

bool SimulatedCommunication::Connect(IBaseCommunicationCallback* callback,
                                     IConnectionTarget* /*target*/, const QString& invokeId,
                                     const QString& /*protocolId*/, const QString& request) {
    const auto& faults = m_module.connectionFaults();
    if (callback == nullptr || faults.refuseConnect) {
        Record(QStringLiteral("Connect"), invokeId, {}, request, false);
        return false;
    }
    Record(QStringLiteral("Connect"), invokeId, {}, request, true);
    const Target target = MakeTarget(callback);
    QString answer;
    QString opened;
    if (faults.unparsableConnect) {
        answer = kBrokenAnswer;
    } else if (faults.negativeConnect) {
        answer = documents::ErrorResponse(QStringLiteral("The station refused the connection"));
    } else if (!documents::ParseRequest(request)) {
        answer = documents::ErrorResponse(QStringLiteral("Connect request cannot be parsed"));
    } else {
        const QString reference = QStringLiteral("SIM-%1").arg(m_nextReference++);
        m_connections[reference] = {target, invokeId};
        answer = documents::ConnectResponse(reference);
        opened = reference;
    }
    Schedule(target, AnswerKind::Connect, invokeId, answer, {}, opened);
    return true;
}

bool SimulatedCommunication::Disconnect(const QString& communicationReference,
                                        IBaseCommunicationCallback* callback,
                                        const QString& invokeId) {
    if (callback == nullptr || m_module.connectionFaults().refuseDisconnect) {
        Record(QStringLiteral("Disconnect"), invokeId, communicationReference, {}, false);
        return false;
    }
    Record(QStringLiteral("Disconnect"), invokeId, communicationReference, {}, true);
    m_connections.erase(communicationReference);
    Schedule(MakeTarget(callback), AnswerKind::Disconnect, invokeId, documents::EmptyResponse(),
             communicationReference);
    return true;
}

bool SimulatedCommunication::TransactionRequest(const QString& communicationReference,
                                                IBaseCommunicationCallback* callback,
                                                const QString& invokeId, const QString& request) {
    auto& faults = m_module.connectionFaults();
    const auto connection = m_connections.find(communicationReference);
    if (callback == nullptr || faults.refuseTransaction || connection == m_connections.end()) {
        Record(QStringLiteral("Transaction"), invokeId, communicationReference, request, false);
        return false;
    }
    Record(QStringLiteral("Transaction"), invokeId, communicationReference, request, true);
    connection->second.lastInvokeId = invokeId;
    if (faults.abortAfterRequests == 0) {
        faults.abortAfterRequests = -1;
        // The answers to the requests before this one still arrive first.
        Abort(communicationReference, false);
        return true;
    }
    if (faults.abortAfterRequests > 0) {
        --faults.abortAfterRequests;
    }
    Schedule(MakeTarget(callback), AnswerKind::Transaction, invokeId, AnswerTransaction(request),
             communicationReference);
    return true;
}

QString SimulatedCommunication::AnswerTransaction(const QString& request) {
    using documents::RequestKind;
    const auto& faults = m_module.connectionFaults();
    if (faults.unparsableTransaction) {
        return kBrokenAnswer;
    }
    if (faults.negativeTransaction) {
        return documents::ErrorResponse(QStringLiteral("The station reports a bus error"));
    }
    QString error;
    const auto parsed = documents::ParseRequest(request, &error);
    if (!parsed) {
        return documents::ErrorResponse(QStringLiteral("Request cannot be parsed: ") + error);
    }
    Reply reply;
    switch (parsed->kind) {
    case RequestKind::Connect:
        reply = Reply::Error(QStringLiteral("A connect request is no transaction"));
        break;
    case RequestKind::ReadDiagnosis:
        reply = m_module.ReadDiagnosis();
        break;
    case RequestKind::ReadOutputValues:
    case RequestKind::SimulationRead:
        reply = m_module.ReadOutputValues();
        break;
    case RequestKind::GlobalForcingEnable:
        reply = m_module.GlobalForcingEnable();
        break;
    case RequestKind::WriteForceValues:
        reply = m_module.WriteForceValues(parsed->data);
        break;
    case RequestKind::ReadQsData:
        reply = m_module.ReadQsData();
        break;
    case RequestKind::Read:
        reply = m_module.Read(parsed->index);
        break;
    case RequestKind::Write:
        reply = m_module.Write(parsed->index, parsed->data);
        break;
    }
    if (faults.answersWithoutData && reply.positive && reply.hasData) {
        return documents::EmptyResponse();
    }
    return ReplyDocument(reply);
}

void SimulatedCommunication::VerifyConnectionResponse(bool inUse) {
    RecordCall(
        QStringLiteral("Communication.VerifyConnectionResponse(%1)").arg(RecordedBool(inUse)));
    ++m_verifyResponses;
    m_lastVerifyInUse = inUse;
    emit traffic(QStringLiteral("VerifyConnectionResponse %1").arg(inUse ? "true" : "false"));
}

void SimulatedCommunication::Unregister(IBaseCommunicationCallback* callback) {
    for (auto it = m_pending.begin(); it != m_pending.end();) {
        it = it->second.target.callback == callback ? m_pending.erase(it) : std::next(it);
    }
    for (auto it = m_connections.begin(); it != m_connections.end();) {
        it = it->second.target.callback == callback ? m_connections.erase(it) : std::next(it);
    }
}

void SimulatedCommunication::AbortConnections() {
    std::vector<QString> references = openConnections();
    for (const QString& reference : references) {
        Abort(reference, true);
    }
}

bool SimulatedCommunication::RequestVerification(const QString& communicationReference) {
    const auto connection = m_connections.find(communicationReference);
    if (connection == m_connections.end()) {
        return false;
    }
    Enqueue({connection->second.target, AnswerKind::Verify, connection->second.lastInvokeId,
             documents::EmptyResponse(), communicationReference});
    return true;
}

std::vector<QString> SimulatedCommunication::openConnections() const {
    std::vector<QString> references;
    for (const auto& [reference, connection] : m_connections) {
        references.push_back(reference);
    }
    return references;
}

void SimulatedCommunication::Abort(const QString& reference, bool dropDueAnswers) {
    const auto connection = m_connections.find(reference);
    if (connection == m_connections.end()) {
        return;
    }
    const Target target = connection->second.target;
    m_connections.erase(connection);
    if (dropDueAnswers) {
        // A connection lost before its connect answer arrived is told by
        // the loss alone.
        for (auto it = m_pending.begin(); it != m_pending.end();) {
            const bool due = it->second.reference == reference || it->second.opened == reference;
            it = due ? m_pending.erase(it) : std::next(it);
        }
    }
    Enqueue({target, AnswerKind::Abort, {}, reference, reference});
}

void SimulatedCommunication::Schedule(const Target& target, AnswerKind kind,
                                      const QString& invokeId, const QString& payload,
                                      const QString& reference, const QString& opened) {
    if (m_module.connectionFaults().foreignInvokeId) {
        Enqueue({target, kind, QStringLiteral("foreign-%1").arg(m_nextForeignId++), payload,
                 reference});
    }
    Enqueue({target, kind, invokeId, payload, reference, opened});
}

void SimulatedCommunication::Enqueue(Pending pending) {
    const std::uint64_t id = m_nextPendingId++;
    m_pending.emplace(id, std::move(pending));
    if (m_holdAnswers) {
        return;
    }
    const int latency = std::max(0, m_module.connectionFaults().latencyMs);
    QTimer::singleShot(latency, this, [this, id] { Deliver(id); });
}

void SimulatedCommunication::HoldAnswers(bool hold) {
    m_holdAnswers = hold;
    if (!hold) {
        for (const auto& [id, pending] : m_pending) {
            QTimer::singleShot(0, this, [this, id = id] { Deliver(id); });
        }
    }
}

bool SimulatedCommunication::DeliverNextAnswer() {
    if (m_pending.empty()) {
        return false;
    }
    Deliver(m_pending.begin()->first);
    return true;
}

void SimulatedCommunication::Deliver(std::uint64_t id) {
    const auto it = m_pending.find(id);
    if (it == m_pending.end()) {
        return;
    }
    const Pending pending = std::move(it->second);
    m_pending.erase(it);
    Deliver(pending);
}

void SimulatedCommunication::Deliver(const Pending& pending) {
    if (!pending.target.alive()) {
        // The caller is gone; whatever it held is closed quietly.
        Unregister(pending.target.callback);
        return;
    }
    IBaseCommunicationCallback* callback = pending.target.callback;
    switch (pending.kind) {
    case AnswerKind::Connect:
        emit traffic(QStringLiteral("answer to Connect %1").arg(pending.invokeId));
        callback->IBaseCommunicationCallback_OnConnectResponse(pending.invokeId, pending.payload);
        break;
    case AnswerKind::Transaction:
        emit traffic(QStringLiteral("answer to Transaction %1").arg(pending.invokeId));
        callback->IBaseCommunicationCallback_OnTransactionResponse(pending.invokeId,
                                                                   pending.payload);
        break;
    case AnswerKind::Disconnect:
        emit traffic(QStringLiteral("answer to Disconnect %1").arg(pending.invokeId));
        callback->IBaseCommunicationCallback_OnDisconnectResponse(pending.invokeId,
                                                                  pending.payload);
        break;
    case AnswerKind::Verify:
        emit traffic(QStringLiteral("VerifyConnectionRequest %1").arg(pending.invokeId));
        callback->IBaseCommunicationCallback_VerifyConnectionRequest(pending.invokeId,
                                                                     pending.payload);
        break;
    case AnswerKind::Abort:
        emit traffic(QStringLiteral("connection %1 lost").arg(pending.payload));
        callback->IBaseCommunicationCallback_OnAbort(pending.payload);
        break;
    }
}

std::vector<SimulatedCommunication::HeldAnswer> SimulatedCommunication::heldAnswers() const {
    static const QString kinds[] = {QStringLiteral("Connect"), QStringLiteral("Transaction"),
                                    QStringLiteral("Disconnect"), QStringLiteral("Verify"),
                                    QStringLiteral("Abort")};
    std::vector<HeldAnswer> held;
    for (const auto& [id, pending] : m_pending) {
        held.push_back({kinds[static_cast<int>(pending.kind)], pending.invokeId,
                        pending.kind == AnswerKind::Connect ? pending.opened : pending.reference});
    }
    return held;
}

std::optional<std::uint64_t> SimulatedCommunication::HeldId(std::size_t position) const {
    if (position >= m_pending.size()) {
        return std::nullopt;
    }
    return std::next(m_pending.begin(), static_cast<std::ptrdiff_t>(position))->first;
}

bool SimulatedCommunication::DropAnswer(std::size_t position) {
    const auto id = HeldId(position);
    if (id) {
        m_pending.erase(*id);
    }
    return id.has_value();
}

bool SimulatedCommunication::DeliverAnswer(std::size_t position, AnswerVariant variant) {
    const auto id = HeldId(position);
    if (!id) {
        return false;
    }
    Pending pending = m_pending.at(*id);
    const bool answer = pending.kind == AnswerKind::Connect ||
                        pending.kind == AnswerKind::Transaction ||
                        pending.kind == AnswerKind::Disconnect;
    if (variant == AnswerVariant::ForeignInvokeId && answer) {
        pending.invokeId = QStringLiteral("foreign-%1").arg(m_nextForeignId++);
        Deliver(pending);
        return true;
    }
    m_pending.erase(*id);
    if (!answer) {
        // A verification request or the loss of a connection has no variants.
        Deliver(pending);
        return true;
    }
    const bool connect = pending.kind == AnswerKind::Connect;
    switch (variant) {
    case AnswerVariant::AsSent:
    case AnswerVariant::ForeignInvokeId:
        break;
    case AnswerVariant::Negative:
        pending.payload =
            documents::ErrorResponse(connect ? QStringLiteral("The station refused the connection")
                                             : QStringLiteral("The station reports a bus error"));
        break;
    case AnswerVariant::Unparsable:
        pending.payload = kBrokenAnswer;
        break;
    case AnswerVariant::WithoutData:
        if (const auto parsed = documents::ParseResponse(pending.payload);
            parsed && parsed->hasData) {
            pending.payload = documents::EmptyResponse();
        }
        break;
    }
    if (connect && variant != AnswerVariant::AsSent && variant != AnswerVariant::WithoutData) {
        // The module did not open the connection it does not report.
        m_connections.erase(pending.opened);
    }
    Deliver(pending);
    return true;
}

} // namespace rq16::standins
