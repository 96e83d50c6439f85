#include "ForceRequests.h"

#include <QTime>

#include <exception>
#include <functional>

namespace rq16 {

namespace {

std::uint8_t Bit(int index) {
    return static_cast<std::uint8_t>(1U << index);
}

bool IsChannelIndex(int index) {
    return index >= 0 && index < ForceRequests::kChannelCount;
}

QString TimeOfDay() {
    return QTime::currentTime().toString(QStringLiteral("HH:mm:ss"));
}

const QString kAnswerPlace = QStringLiteral(".OnTransactionResponse");

} // namespace

void ForceRequests::ForceActivatedChanged(int index, bool forcingActivated) {
    if (!IsChannelIndex(index)) {
        return;
    }
    const std::uint8_t countBefore = m_activationCount;
    if (forcingActivated) {
        m_activationMask |= Bit(index);
        ++m_activationCount;
    } else {
        m_activationMask &= static_cast<std::uint8_t>(~Bit(index));
        // The count follows the events, not the mask; a deactivation that no
        // activation preceded must not wrap it round.
        if (m_activationCount > 0) {
            --m_activationCount;
        }
    }
    if (m_activationCount > 0) {
        EstablishForcing();
        return;
    }
    if (countBefore > 0) {
        WriteForceValues(); // the block now has an empty activation mask
    }
    m_connection.SetEnableForceTimer(false);
}

void ForceRequests::ForceValueChanged(int index, bool forceValue) {
    if (!IsChannelIndex(index)) {
        return;
    }
    if (forceValue) {
        m_valueMask |= Bit(index);
    } else {
        m_valueMask &= static_cast<std::uint8_t>(~Bit(index));
    }
    if (m_activationCount > 0) {
        WriteForceValues();
    }
}

void ForceRequests::EstablishForcing() {
    EnableForceTimerTick();
    WriteForceValues();
    m_connection.SetEnableForceTimer(true);
}

bool ForceRequests::Send(QString& invokeId, const std::function<QString()>& request,
                         const QString& operation, const QString& logSuffix,
                         const std::function<void(const QString&)>& logRequest) {
    bool accepted = false;
    try {
        invokeId = m_connection.NewForcingInvokeId();
        const QString document = request();
        if (logRequest) {
            logRequest(document);
        }
        accepted = m_connection.SendForcingTransaction(invokeId, document);
    } catch (const std::exception& e) {
        m_connection.LogForcing(logSuffix + QStringLiteral(", Error: "),
                                QString::fromUtf8(e.what()));
    }
    if (!accepted) {
        invokeId.clear();
        m_connection.ReportTransactionFailed(operation);
        return false;
    }
    m_connection.LogForcing(logSuffix, QStringLiteral("Command successful"));
    return true;
}

void ForceRequests::EnableForceTimerTick() {
    if (m_connection.ForcingReference().isEmpty()) {
        return;
    }
    const QString place = QStringLiteral(".timEnableForce_Timer");
    m_connection.LogForcing(place, TimeOfDay());
    if (!m_sEnableForceInvokeId.isEmpty()) {
        // The previous enable request is still unanswered.
        m_connection.LogForcing(place, TimeOfDay());
        return;
    }
    if (m_sEnableRequest.isEmpty()) {
        return;
    }
    Send(m_sEnableForceInvokeId, [this] { return m_sEnableRequest; },
         QStringLiteral("GlobalForcingEnable"), QStringLiteral(".EnableForceTimer"), {});
}

void ForceRequests::WriteForceValues() {
    if (m_connection.ForcingReference().isEmpty()) {
        return; // the change stays in the masks
    }
    if (!m_sForceOutputUpdateInvokeId.isEmpty()) {
        m_blnUpdatePending = true;
        m_connection.LogForcing(QStringLiteral(".writeForceValues"),
                                QStringLiteral("Busy with update"));
        return;
    }
    const QString place = QStringLiteral(".writeForceOutputValues");
    m_blnUpdatePending = false;
    Send(
        m_sForceOutputUpdateInvokeId,
        [this] { return m_connection.WriteForceValuesRequest(Block()); },
        QStringLiteral("writeForceOutputValues"), place,
        [&](const QString& request) {
            m_connection.LogForcing(place, QStringLiteral("sForceOutputUpdateInvokeId = ") +
                                               m_sForceOutputUpdateInvokeId +
                                               QStringLiteral("\r\n") + request);
        });
}

void ForceRequests::Connected(const QString& enableRequest) {
    m_sEnableRequest = enableRequest;
    if (m_activationCount > 0) {
        EstablishForcing();
    }
}

void ForceRequests::Disconnected() {
    Aborted();
    m_sEnableRequest.clear();
}

void ForceRequests::Aborted() {
    m_sEnableForceInvokeId.clear();
    m_sForceOutputUpdateInvokeId.clear();
}

ForceRequests::Answer ForceRequests::OnTransactionAnswer(const QString& invokeId) {
    if (invokeId.isEmpty()) {
        return Answer::Other;
    }
    if (invokeId == m_sEnableForceInvokeId) {
        m_sEnableForceInvokeId.clear();
        m_connection.LogForcing(kAnswerPlace, QStringLiteral("Response to GlobalForcingEnable"));
        return Answer::Enable;
    }
    if (invokeId != m_sForceOutputUpdateInvokeId) {
        return Answer::Other;
    }
    m_sForceOutputUpdateInvokeId.clear();
    m_connection.LogForcing(kAnswerPlace, QStringLiteral("Response to writing force values"));
    if (m_blnUpdatePending) {
        m_connection.LogForcing(kAnswerPlace,
                                QStringLiteral("Trigger another update of force values"));
        WriteForceValues();
    } else {
        m_connection.ReadBack();
    }
    return Answer::Write;
}

} // namespace rq16
