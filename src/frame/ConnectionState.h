#pragma once
// The connection state of an online view, without any widget: the open
// connection's reference, the one outstanding request, and the two pending
// endings (release asked for by the frame, close pressed while online).

#include <QString>

namespace rq16 {

/// The kind of request an online view waits for.
enum class PendingRequest { None, Connect, Transaction, Disconnect };

/// Where the connection stands.
enum class ConnectionPhase { Offline, Connecting, Online, TransactionOutstanding, Disconnecting };

class ConnectionState {
public:
    /// Reference of the open connection; empty means offline.
    QString communicationReference;
    /// Invoke id of the one outstanding request; empty means none.
    QString sOnlineInvokeId;
    /// The frame asked for release: end offline, then send PreparedToRelease.
    bool blnPrepareToRelease = false;
    /// Close was pressed while online: ask to close after the disconnect.
    bool blnClosing = false;

    bool IsOnline() const { return !communicationReference.isEmpty(); }
    bool IsRequestOutstanding() const { return !sOnlineInvokeId.isEmpty(); }
    PendingRequest Pending() const {
        return IsRequestOutstanding() ? m_pending : PendingRequest::None;
    }
    ConnectionPhase Phase() const;
    /// An answer belongs to the outstanding request only with its invoke id.
    bool IsAnswerTo(const QString& invokeId) const { return invokeId == sOnlineInvokeId; }

    /// A request went out under `invokeId`.
    void RequestSent(PendingRequest kind, const QString& invokeId);
    /// The request was refused or its answer arrived: nothing is outstanding.
    void RequestDone();
    /// A positive connect answer: online with `reference`.
    void Connected(const QString& reference);
    /// The own disconnect answer, or the loss of the connection: offline with
    /// nothing outstanding.
    void Disconnected();
    /// A pending release can be completed now: offline, nothing outstanding.
    bool CanCompleteRelease() const {
        return blnPrepareToRelease && !IsOnline() && !IsRequestOutstanding();
    }

private:
    PendingRequest m_pending = PendingRequest::None;
};

} // namespace rq16
