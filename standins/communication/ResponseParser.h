#pragma once
// Parses the communication object's answer documents and serialises request
// objects into request documents (the forms of Documents.h).

#include "host/Components.h"

namespace rq16::standins {

class ResponseParser : public IResponseParser {
public:
    ResponseParser() = default;

    bool Parse(const QString& answer, IDocumentContext* context) override;
    QString LastError() const override { return m_lastError; }

    QString CommunicationReference() const override { return m_reference; }
    bool HasCommunicationError() const override { return m_hasError; }
    QString ErrorText() const override { return m_errorText; }
    bool HasData() const override { return m_hasData; }
    ByteArray Data() const override { return m_data; }

    /// Exactly one of the read and write items must be set; a write item
    /// without a data item writes zero bytes.
    bool Serialize(QString& document, const CommunicationRequest& request) override;

private:
    void Reset();

    QString m_lastError;
    QString m_reference;
    bool m_hasError = false;
    QString m_errorText;
    bool m_hasData = false;
    ByteArray m_data;
};

} // namespace rq16::standins
