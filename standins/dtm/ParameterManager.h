#pragma once
// The parameter manager over the DTM's data set.

#include "DataSet.h"

#include "host/Dtm.h"

#include <functional>
#include <vector>

namespace rq16::standins {

class ParameterManager : public IParameterManager {
public:
    /// `dataSetFile` empty keeps the data set in memory only. Throws ComError
    /// when the file exists but cannot be read (DataSet::Load).
    ParameterManager(QString dataSetFile, QString protocolId);

    QString GetConnectRequest(bool full) override;
    QString GetReadDiagnosisRequest(const QString& communicationReference) override;
    QString GetReadOutputValuesRequest(const QString& communicationReference) override;
    QString GetSimulationReadRequest(const QString& communicationReference) override;
    QString GetGlobalForcingEnableRequest(const QString& communicationReference) override;
    QString GetWriteForceValuesRequest(const QString& communicationReference,
                                       const ByteArray& forceValues) override;
    QString GetReadQsDataRequest(const QString& communicationReference) override;

    void GetParameterBytes(ByteArray& bytes) override;
    /// Changes the data set in memory; CommitParameters writes it.
    void SetParameterBytes(const ByteArray& bytes) override;
    /// Writes the data set file; throws ComError as Save does.
    void CommitParameters() override;

    /// The module document for the parameter path "FDT" and the DTM's
    /// protocol; throws ComError for anything else.
    QString GetDocumentPart(const QString& parameterPath, const QString& protocolId) override;
    std::int32_t SlotNumber() override { return m_data.slotNumber; }
    /// "<type name> / slot <nn>".
    QString SystemTag() override;

    ByteArray StoredQsData() override { return m_data.storedQsData; }
    void SetStoredQsData(const ByteArray& contents) override;
    ByteArray StoredIMData() override { return m_data.storedIMData; }
    void SetStoredIMData(const ByteArray& contents) override;
    QString StoredComment() override { return m_data.comment; }
    void SetStoredComment(const QString& comment) override;

    void Advise(IParameterManagerEvents* sink) override;
    void Unadvise(IParameterManagerEvents* sink) override;

    // ---- for the DTM and the host ----
    const DataSet& data() const { return m_data; }
    const QString& dataSetFile() const { return m_file; }
    /// Unsaved changes exist in memory.
    bool isModified() const { return m_modified; }
    /// Writes the file now (no-op without a file). When it cannot be
    /// written, the data set in memory goes back to what the file holds,
    /// ComError says which file and why, and saveFailures() keeps the reason.
    void Save();
    /// Why the stored QS or I&M data cannot be read back, one text each;
    /// empty when they can (or none are stored).
    QStringList StoredDataProblems() const;
    /// The reasons of every save that failed, in order.
    const QStringList& saveFailures() const { return m_saveFailures; }
    /// Reads the file again (defaults when it is missing); throws ComError
    /// on an unreadable file, keeping the data in memory.
    void Reload();
    /// The data set as the file holds it (last read or written).
    const DataSet& savedData() const { return m_saved; }
    /// Replaces the data set in memory, as a change from outside.
    void Replace(const DataSet& data);
    /// Raises ParameterChanged to every advised sink.
    void RaiseParameterChanged();
    /// Called after every successful write of the file.
    void SetWrittenCallback(std::function<void(const QString&)> callback) {
        m_written = std::move(callback);
    }
    std::size_t sinkCount() const { return m_sinks.size(); }

private:
    QString m_file;
    QString m_protocolId;
    DataSet m_data;
    DataSet m_saved;
    bool m_modified = false;
    std::vector<IParameterManagerEvents*> m_sinks;
    std::function<void(const QString&)> m_written;
    QStringList m_saveFailures;
};

} // namespace rq16::standins
