#include "ResponseParser.h"

#include "Documents.h"

namespace rq16::standins {

void ResponseParser::Reset() {
    m_lastError.clear();
    m_reference.clear();
    m_hasError = false;
    m_errorText.clear();
    m_hasData = false;
    m_data.clear();
}

bool ResponseParser::Parse(const QString& answer, IDocumentContext* /*context*/) {
    Reset();
    QString error;
    const auto response = documents::ParseResponse(answer, &error);
    if (!response) {
        m_lastError = error;
        return false;
    }
    m_reference = response->communicationReference;
    m_hasError = response->hasError;
    m_errorText = response->errorText;
    m_hasData = response->hasData;
    m_data = response->data;
    return true;
}

bool ResponseParser::Serialize(QString& document, const CommunicationRequest& request) {
    m_lastError.clear();
    if (request.readItem.has_value() == request.writeItem.has_value()) {
        m_lastError = QStringLiteral("A request needs exactly one read or write item");
        return false;
    }
    if (request.readItem) {
        const ReadRequestItem& item = *request.readItem;
        document = documents::ReadRequest(item.communicationReference, item.slotNumber, item.index);
        return true;
    }
    const WriteRequestItem& item = *request.writeItem;
    const ByteArray data = item.dataItem ? item.dataItem->value : ByteArray{};
    document =
        documents::WriteRequest(item.communicationReference, item.slotNumber, item.index, data);
    return true;
}

} // namespace rq16::standins
