#pragma once
// The force state of the Simulation view and the rules by which it reaches
// the module: the global forcing enable request (repeated by a 40 s timer
// while any channel is forced) and the force values write, of which at most
// one is outstanding; changes that arrive meanwhile are sent together when
// it is answered. Plain C++: the requests go out through the view's
// connection, which the view lends through IForcingConnection.

#include "host/Types.h"

#include <QString>

#include <cstdint>
#include <functional>

namespace rq16 {

/// What the force requests need from the view that owns them.
class IForcingConnection {
public:
    virtual ~IForcingConnection() = default;
    /// Reference of the open connection; empty while offline.
    virtual QString ForcingReference() = 0;
    virtual QString NewForcingInvokeId() = 0;
    /// Sends a transaction over the view's connection; true when accepted.
    virtual bool SendForcingTransaction(const QString& invokeId, const QString& request) = 0;
    /// The force values write request for the 4-byte block.
    virtual QString WriteForceValuesRequest(const ByteArray& block) = 0;
    /// Switches the 40 s enable timer (timEnableForce).
    virtual void SetEnableForceTimer(bool enabled) = 0;
    /// A refused request: "Transaction failed" reported for `operation`.
    virtual void ReportTransactionFailed(const QString& operation) = 0;
    /// One log entry with place "Simulation" + suffix.
    virtual void LogForcing(const QString& suffix, const QString& message) = 0;
    /// Runs the read cycle's tick at once, so a write is read back.
    virtual void ReadBack() = 0;
};

class ForceRequests {
public:
    static constexpr int kChannelCount = 8;

    explicit ForceRequests(IForcingConnection& connection) : m_connection(connection) {}

    // ---- events of the channel elements ----
    void ForceActivatedChanged(int index, bool forcingActivated);
    void ForceValueChanged(int index, bool forceValue);

    /// timEnableForce_Timer: sends the enable request unless one is
    /// outstanding (also run directly when forcing starts).
    void EnableForceTimerTick();
    /// writeForceValues: sends the masks, or marks an update as pending while
    /// a write is outstanding.
    void WriteForceValues();

    // ---- the connection ----
    /// A connect answer with a reference: keeps the enable request of the
    /// new connection and re-establishes active forcing.
    void Connected(const QString& enableRequest);
    /// A refused connect: no enable request.
    void ConnectRefused() { m_sEnableRequest.clear(); }
    /// A disconnect answer: no outstanding force request, no enable request.
    void Disconnected();
    /// The connection was lost: no outstanding force request; the enable
    /// request stays until the next connect replaces it.
    void Aborted();

    /// What an answer was.
    enum class Answer { Other, Enable, Write };
    /// The enable and write branches of the transaction answer: empties the
    /// matching id and sends what follows (a pending write or the read-back).
    Answer OnTransactionAnswer(const QString& invokeId);

    // ---- state ----
    std::uint8_t ActivationCount() const { return m_activationCount; }
    std::uint8_t ActivationMask() const { return m_activationMask; }
    std::uint8_t ValueMask() const { return m_valueMask; }
    /// The force values block: 0, activation mask, 0, value mask.
    ByteArray Block() const { return {0, m_activationMask, 0, m_valueMask}; }
    bool UpdatePending() const { return m_blnUpdatePending; }
    const QString& EnableForceInvokeId() const { return m_sEnableForceInvokeId; }
    const QString& ForceOutputUpdateInvokeId() const { return m_sForceOutputUpdateInvokeId; }
    const QString& EnableRequest() const { return m_sEnableRequest; }
    /// An enable or a write request is outstanding.
    bool HasOutstandingRequest() const {
        return !m_sEnableForceInvokeId.isEmpty() || !m_sForceOutputUpdateInvokeId.isEmpty();
    }

private:
    /// Enable request, write, timer on: what starts or re-establishes forcing.
    void EstablishForcing();
    /// Sends one request under a new `invokeId`, logging the document first
    /// when `logRequest` is given; a refusal or an error empties the id and
    /// reports `operation`. Returns whether it was accepted.
    bool Send(QString& invokeId, const std::function<QString()>& request, const QString& operation,
              const QString& logSuffix, const std::function<void(const QString&)>& logRequest);

    IForcingConnection& m_connection;
    std::uint8_t m_activationCount = 0;
    std::uint8_t m_activationMask = 0;
    std::uint8_t m_valueMask = 0;
    bool m_blnUpdatePending = false;
    QString m_sEnableForceInvokeId;
    QString m_sForceOutputUpdateInvokeId;
    QString m_sEnableRequest;
};

} // namespace rq16
