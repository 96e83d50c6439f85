#include "ParameterManager.h"

#include "standins/CallRecorder.h"
#include "standins/communication/Documents.h"
#include "standins/documents/FdtDocuments.h"
#include "standins/helpers/IMData.h"
#include "standins/helpers/PropertyBag.h"
#include "standins/helpers/QsData.h"

#include <algorithm>

namespace rq16::standins {

ParameterManager::ParameterManager(QString dataSetFile, QString protocolId)
    : m_file(std::move(dataSetFile)), m_protocolId(std::move(protocolId)),
      m_data(DataSet::Load(m_file)), m_saved(m_data) {}

QString ParameterManager::GetConnectRequest(bool /*full*/) {
    return documents::ConnectRequest(m_data.slotNumber, m_protocolId);
}

QString ParameterManager::GetReadDiagnosisRequest(const QString& communicationReference) {
    return documents::ReadDiagnosisRequest(communicationReference, m_data.slotNumber);
}

QString ParameterManager::GetReadOutputValuesRequest(const QString& communicationReference) {
    return documents::ReadOutputValuesRequest(communicationReference, m_data.slotNumber);
}

QString ParameterManager::GetSimulationReadRequest(const QString& communicationReference) {
    return documents::SimulationReadRequest(communicationReference, m_data.slotNumber);
}

QString ParameterManager::GetGlobalForcingEnableRequest(const QString& communicationReference) {
    return documents::GlobalForcingEnableRequest(communicationReference, m_data.slotNumber);
}

QString ParameterManager::GetWriteForceValuesRequest(const QString& communicationReference,
                                                     const ByteArray& forceValues) {
    return documents::WriteForceValuesRequest(communicationReference, m_data.slotNumber,
                                              forceValues);
}

QString ParameterManager::GetReadQsDataRequest(const QString& communicationReference) {
    return documents::ReadQsDataRequest(communicationReference, m_data.slotNumber);
}

void ParameterManager::GetParameterBytes(ByteArray& bytes) {
    bytes = m_data.parameterBytes;
}

void ParameterManager::SetParameterBytes(const ByteArray& bytes) {
    RecordCall(
        QStringLiteral("ParameterManager.SetParameterBytes(%1)").arg(documents::ToHex(bytes)));
    m_data.parameterBytes = bytes;
    m_modified = true;
}

void ParameterManager::CommitParameters() {
    RecordCall(QStringLiteral("ParameterManager.CommitParameters"));
    Save();
}

QString ParameterManager::GetDocumentPart(const QString& parameterPath, const QString& protocolId) {
    if (parameterPath != QStringLiteral("FDT")) {
        throw ComError(kErrInvalidArg, QStringLiteral("No document part '%1'").arg(parameterPath));
    }
    if (protocolId.compare(m_protocolId, Qt::CaseInsensitive) != 0) {
        throw ComError(kErrInvalidArg,
                       QStringLiteral("Protocol '%1' is not supported").arg(protocolId));
    }
    return documents::ModuleDocument(ModuleObject{m_data.slotNumber, m_data.typeName});
}

QString ParameterManager::SystemTag() {
    return QStringLiteral("%1 / slot %2")
        .arg(m_data.typeName)
        .arg(m_data.slotNumber, 2, 10, QLatin1Char('0'));
}

void ParameterManager::SetStoredQsData(const ByteArray& contents) {
    RecordCall(QStringLiteral("ParameterManager.SetStoredQsData"));
    m_data.storedQsData = contents;
    m_modified = true;
}

void ParameterManager::SetStoredIMData(const ByteArray& contents) {
    RecordCall(QStringLiteral("ParameterManager.SetStoredIMData"));
    m_data.storedIMData = contents;
    m_modified = true;
}

void ParameterManager::SetStoredComment(const QString& comment) {
    RecordCall(QStringLiteral("ParameterManager.SetStoredComment(%1)").arg(comment));
    m_data.comment = comment;
    m_modified = true;
}

void ParameterManager::Advise(IParameterManagerEvents* sink) {
    if (sink != nullptr && std::find(m_sinks.begin(), m_sinks.end(), sink) == m_sinks.end()) {
        m_sinks.push_back(sink);
    }
}

void ParameterManager::Unadvise(IParameterManagerEvents* sink) {
    m_sinks.erase(std::remove(m_sinks.begin(), m_sinks.end(), sink), m_sinks.end());
}

void ParameterManager::Save() {
    if (!m_file.isEmpty()) {
        try {
            m_data.Save(m_file);
        } catch (const ComError& e) {
            // No half-applied state: what is not in the file is not in the
            // data set either.
            m_data = m_saved;
            m_modified = false;
            m_saveFailures << e.description();
            throw;
        }
        if (m_written) {
            m_written(m_file);
        }
    }
    m_saved = m_data;
    m_modified = false;
}

QStringList ParameterManager::StoredDataProblems() const {
    QStringList problems;
    const auto check = [&](const ByteArray& contents, const QString& key, IPersistable&& object,
                           const QString& what) {
        if (contents.empty()) {
            return;
        }
        try {
            PropertyBag bag;
            bag.SetContents(contents);
            bag.ReadProperty(key, object);
        } catch (const ComError& e) {
            problems << QStringLiteral("The stored %1 of the data set %2 cannot be read (%3). They "
                                       "are kept until Identification reads the module.")
                            .arg(what, m_file.isEmpty() ? QStringLiteral("in memory") : m_file,
                                 e.description());
        }
    };
    check(m_data.storedQsData, QStringLiteral("QsData"), QsData(), QStringLiteral("QS data"));
    check(m_data.storedIMData, QStringLiteral("IMData"), IMData(), QStringLiteral("I&M data"));
    return problems;
}

void ParameterManager::Reload() {
    m_data = DataSet::Load(m_file);
    m_saved = m_data;
    m_modified = false;
}

void ParameterManager::Replace(const DataSet& data) {
    m_data = data;
    m_modified = true;
}

void ParameterManager::RaiseParameterChanged() {
    // A sink may unadvise itself (or others) while being called.
    const auto sinks = m_sinks;
    for (IParameterManagerEvents* sink : sinks) {
        if (std::find(m_sinks.begin(), m_sinks.end(), sink) != m_sinks.end()) {
            sink->ParameterManager_ParameterChanged();
        }
    }
}

} // namespace rq16::standins
