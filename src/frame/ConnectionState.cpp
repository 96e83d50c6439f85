#include "ConnectionState.h"

namespace rq16 {

ConnectionPhase ConnectionState::Phase() const {
    switch (Pending()) {
    case PendingRequest::Connect:
        return ConnectionPhase::Connecting;
    case PendingRequest::Transaction:
        return ConnectionPhase::TransactionOutstanding;
    case PendingRequest::Disconnect:
        return ConnectionPhase::Disconnecting;
    case PendingRequest::None:
        break;
    }
    return IsOnline() ? ConnectionPhase::Online : ConnectionPhase::Offline;
}

void ConnectionState::RequestSent(PendingRequest kind, const QString& invokeId) {
    sOnlineInvokeId = invokeId;
    m_pending = invokeId.isEmpty() ? PendingRequest::None : kind;
}

void ConnectionState::RequestDone() {
    sOnlineInvokeId.clear();
    m_pending = PendingRequest::None;
}

void ConnectionState::Connected(const QString& reference) {
    RequestDone();
    communicationReference = reference;
}

void ConnectionState::Disconnected() {
    RequestDone();
    communicationReference.clear();
}

} // namespace rq16
