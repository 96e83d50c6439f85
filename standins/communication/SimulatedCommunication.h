#pragma once
// The base DTM communication object over the simulated module. Requests are
// accepted or refused at once; every answer (and every loss of a connection)
// is delivered later on the Qt event loop, after the module's configured
// latency, never inside the request call.
//
// A callback that is a QObject (every view) is watched: when it is destroyed
// before its answer arrives, the answer is dropped. Other callbacks call
// Unregister before they go away.

#include "simulator/SimulatedModule.h"

#include "host/Communication.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace rq16::standins {

class SimulatedCommunication : public QObject, public IBaseDtmCommunication {
    Q_OBJECT
public:
    explicit SimulatedCommunication(simulator::SimulatedModule& module, QObject* parent = nullptr);
    ~SimulatedCommunication() override;

    SimulatedCommunication(const SimulatedCommunication&) = delete;
    SimulatedCommunication& operator=(const SimulatedCommunication&) = delete;

    bool Connect(IBaseCommunicationCallback* callback, IConnectionTarget* target,
                 const QString& invokeId, const QString& protocolId,
                 const QString& request) override;
    bool Disconnect(const QString& communicationReference, IBaseCommunicationCallback* callback,
                    const QString& invokeId) override;
    bool TransactionRequest(const QString& communicationReference,
                            IBaseCommunicationCallback* callback, const QString& invokeId,
                            const QString& request) override;
    void VerifyConnectionResponse(bool inUse) override;

    /// Drops every answer still due to `callback` and closes its connections
    /// without telling it.
    void Unregister(IBaseCommunicationCallback* callback);

    /// Loses every open connection: each holder gets OnAbort (later).
    void AbortConnections();
    /// Asks the holder of `communicationReference` whether the connection is
    /// still in use (VerifyConnectionRequest with the invoke id of the last
    /// request on it, later).
    bool RequestVerification(const QString& communicationReference);

    /// One accepted or refused request, as the module saw it.
    struct RecordedRequest {
        QString operation; ///< "Connect", "Transaction" or "Disconnect"
        QString invokeId;
        QString communicationReference;
        QString document;
        bool accepted = false;
    };
    /// The latest requests, oldest first: at most kKeptRequests, so that a
    /// view cycling for hours does not make the history grow without end.
    static constexpr std::size_t kKeptRequests = 10000;
    const std::deque<RecordedRequest>& requests() const { return m_requests; }
    void clearRequests() { m_requests.clear(); }
    /// Called with every request as it is accepted or refused, before the
    /// request call returns; an empty function stops it.
    void SetRequestObserver(std::function<void(const RecordedRequest&)> observer) {
        m_requestObserver = std::move(observer);
    }

    std::vector<QString> openConnections() const;
    /// How often VerifyConnectionResponse was called, and its last argument.
    int verifyResponseCount() const { return m_verifyResponses; }
    bool lastVerifyInUse() const { return m_lastVerifyInUse; }
    /// Answers scheduled and not yet delivered.
    std::size_t pendingAnswers() const { return m_pending.size(); }

    /// While held, answers (and losses of connections) wait until
    /// DeliverNextAnswer hands them over one by one, oldest first; releasing
    /// the hold delivers the waiting ones from the event loop.
    void HoldAnswers(bool hold);
    /// Delivers the oldest waiting answer now; false if none waits.
    bool DeliverNextAnswer();

    /// One answer (or loss of a connection) waiting while answers are held.
    struct HeldAnswer {
        QString kind; ///< "Connect", "Transaction", "Disconnect", "Verify" or "Abort"
        QString invokeId;
        /// The connection the answer concerns; for a connect answer the one
        /// it opens.
        QString communicationReference;
    };
    /// The waiting answers, oldest first.
    std::vector<HeldAnswer> heldAnswers() const;
    /// How a module answers otherwise than it meant to.
    enum class AnswerVariant {
        AsSent,
        Negative,        ///< an error answer instead (a connect opens nothing)
        Unparsable,      ///< broken text instead (a connect opens nothing)
        WithoutData,     ///< a positive answer without the data it carried
        ForeignInvokeId, ///< a copy under an invoke id no request had; the answer keeps waiting
    };
    /// Delivers the waiting answer at `position` (0 is the oldest) now, out
    /// of order if it is not the oldest; false if there is none. Verification
    /// requests and losses of connections come as they are.
    bool DeliverAnswer(std::size_t position, AnswerVariant variant = AnswerVariant::AsSent);
    /// The waiting answer at `position` is never delivered; a connection its
    /// connect answer would have opened stays open.
    bool DropAnswer(std::size_t position);

    simulator::SimulatedModule& module() { return m_module; }

signals:
    /// One line per request and per delivered answer, for a person to read.
    void traffic(const QString& line);

private:
    enum class AnswerKind { Connect, Transaction, Disconnect, Verify, Abort };

    /// Who an answer goes to; a destroyed QObject callback is noticed.
    struct Target {
        IBaseCommunicationCallback* callback = nullptr;
        QPointer<QObject> object;
        bool watched = false;
        bool alive() const { return !watched || !object.isNull(); }
    };
    struct Connection {
        Target target;
        QString lastInvokeId;
    };
    struct Pending {
        Target target;
        AnswerKind kind;
        QString invokeId;
        QString payload; ///< the answer document, or the reference for Abort
        QString reference;
        QString opened{}; ///< the connection a connect answer opens
    };

    static Target MakeTarget(IBaseCommunicationCallback* callback);
    void Record(const QString& operation, const QString& invokeId, const QString& reference,
                const QString& document, bool accepted);
    /// Schedules one answer (and a foreign-id copy before it when that fault
    /// is on).
    void Schedule(const Target& target, AnswerKind kind, const QString& invokeId,
                  const QString& payload, const QString& reference, const QString& opened = {});
    void Enqueue(Pending pending);
    void Deliver(std::uint64_t id);
    void Deliver(const Pending& pending);
    /// The id of the waiting answer at `position`, or nothing.
    std::optional<std::uint64_t> HeldId(std::size_t position) const;
    /// Closes the connection and schedules OnAbort for its holder, dropping
    /// the answers still due on it or letting them arrive first.
    void Abort(const QString& reference, bool dropDueAnswers);
    QString AnswerTransaction(const QString& request);

    simulator::SimulatedModule& m_module;
    std::map<QString, Connection> m_connections;
    std::map<std::uint64_t, Pending> m_pending;
    std::uint64_t m_nextPendingId = 1;
    int m_nextReference = 1;
    int m_nextForeignId = 1;
    std::deque<RecordedRequest> m_requests;
    int m_verifyResponses = 0;
    bool m_lastVerifyInUse = false;
    bool m_holdAnswers = false;
    std::function<void(const RecordedRequest&)> m_requestObserver;
};

} // namespace rq16::standins
