#include "Documents.h"

#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <array>
#include <utility>

namespace rq16::standins::documents {

namespace {

constexpr std::array<std::pair<RequestKind, const char*>, 9> kKindNames{{
    {RequestKind::Connect, "Connect"},
    {RequestKind::ReadDiagnosis, "ReadDiagnosis"},
    {RequestKind::ReadOutputValues, "ReadOutputValues"},
    {RequestKind::SimulationRead, "SimulationRead"},
    {RequestKind::GlobalForcingEnable, "GlobalForcingEnable"},
    {RequestKind::WriteForceValues, "WriteForceValues"},
    {RequestKind::ReadQsData, "ReadQsData"},
    {RequestKind::Read, "Read"},
    {RequestKind::Write, "Write"},
}};

std::optional<RequestKind> KindFromName(QStringView name) {
    for (const auto& [kind, text] : kKindNames) {
        if (name == QLatin1String(text)) {
            return kind;
        }
    }
    return std::nullopt;
}

/// True when `value` needs no escaping in an attribute: printable ASCII
/// without the characters XML replaces by entities.
bool Plain(const QString* value) {
    if (value == nullptr) {
        return true;
    }
    for (const QChar c : *value) {
        const char16_t u = c.unicode();
        if (u < 0x20 || u > 0x7E || u == u'<' || u == u'>' || u == u'&' || u == u'"') {
            return false;
        }
    }
    return true;
}

void AppendAttribute(QString& text, QLatin1String name, const QString& value) {
    text += u' ';
    text += name;
    text += QLatin1String("=\"");
    text += value;
    text += u'"';
}

/// One request element; null pointers and an absent index leave the
/// attribute or element out.
QString WriteRequestDocument(RequestKind kind, const QString* ref, std::int32_t slot,
                             std::optional<std::int32_t> index = std::nullopt,
                             const QString* protocol = nullptr, const ByteArray* data = nullptr) {
    if (Plain(ref) && Plain(protocol)) {
        // Values without characters to escape are put together directly, as
        // the XML writer below would write them, at a fraction of its cost.
        QString text;
        text.reserve(96 + (data != nullptr ? static_cast<qsizetype>(data->size()) * 2 : 0));
        text += QLatin1String("<Request");
        AppendAttribute(text, QLatin1String("kind"), KindName(kind));
        if (ref != nullptr) {
            AppendAttribute(text, QLatin1String("ref"), *ref);
        }
        AppendAttribute(text, QLatin1String("slot"), QString::number(slot));
        if (index) {
            AppendAttribute(text, QLatin1String("index"), QString::number(*index));
        }
        if (protocol != nullptr) {
            AppendAttribute(text, QLatin1String("protocol"), *protocol);
        }
        if (data != nullptr) {
            text += QLatin1String("><Data>");
            text += ToHex(*data);
            text += QLatin1String("</Data></Request>");
        } else {
            text += QLatin1String("/>");
        }
        return text;
    }
    QString text;
    QXmlStreamWriter xml(&text);
    xml.writeStartElement(QStringLiteral("Request"));
    xml.writeAttribute(QStringLiteral("kind"), KindName(kind));
    if (ref != nullptr) {
        xml.writeAttribute(QStringLiteral("ref"), *ref);
    }
    xml.writeAttribute(QStringLiteral("slot"), QString::number(slot));
    if (index) {
        xml.writeAttribute(QStringLiteral("index"), QString::number(*index));
    }
    if (protocol != nullptr) {
        xml.writeAttribute(QStringLiteral("protocol"), *protocol);
    }
    if (data != nullptr) {
        xml.writeTextElement(QStringLiteral("Data"), ToHex(*data));
    }
    xml.writeEndElement();
    return text;
}

QString WriteResponseDocument(const char* element, const QString& content) {
    QString text;
    QXmlStreamWriter xml(&text);
    xml.writeStartElement(QStringLiteral("Response"));
    if (element != nullptr) {
        xml.writeTextElement(QLatin1String(element), content);
    }
    xml.writeEndElement();
    return text;
}

std::optional<std::int32_t> ToInt(QStringView text) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok) {
        return std::nullopt;
    }
    return value;
}

void SetError(QString* error, const QString& text) {
    if (error != nullptr) {
        *error = text;
    }
}

} // namespace

QString KindName(RequestKind kind) {
    for (const auto& [k, text] : kKindNames) {
        if (k == kind) {
            return QLatin1String(text);
        }
    }
    return {};
}

QString ConnectRequest(std::int32_t slotNumber, const QString& protocolId) {
    return WriteRequestDocument(RequestKind::Connect, nullptr, slotNumber, std::nullopt,
                                &protocolId);
}

QString ReadDiagnosisRequest(const QString& ref, std::int32_t slot) {
    return WriteRequestDocument(RequestKind::ReadDiagnosis, &ref, slot);
}

QString ReadOutputValuesRequest(const QString& ref, std::int32_t slot) {
    return WriteRequestDocument(RequestKind::ReadOutputValues, &ref, slot);
}

QString SimulationReadRequest(const QString& ref, std::int32_t slot) {
    return WriteRequestDocument(RequestKind::SimulationRead, &ref, slot);
}

QString GlobalForcingEnableRequest(const QString& ref, std::int32_t slot) {
    return WriteRequestDocument(RequestKind::GlobalForcingEnable, &ref, slot);
}

QString WriteForceValuesRequest(const QString& ref, std::int32_t slot, const ByteArray& block) {
    return WriteRequestDocument(RequestKind::WriteForceValues, &ref, slot, std::nullopt, nullptr,
                                &block);
}

QString ReadQsDataRequest(const QString& ref, std::int32_t slot) {
    return WriteRequestDocument(RequestKind::ReadQsData, &ref, slot);
}

QString ReadRequest(const QString& ref, std::int32_t slot, std::int32_t index) {
    return WriteRequestDocument(RequestKind::Read, &ref, slot, index);
}

QString WriteRequest(const QString& ref, std::int32_t slot, std::int32_t index,
                     const ByteArray& data) {
    return WriteRequestDocument(RequestKind::Write, &ref, slot, index, nullptr, &data);
}

std::optional<Request> ParseRequest(const QString& document, QString* error) {
    QXmlStreamReader xml(document);
    if (!xml.readNextStartElement()) {
        SetError(error, QStringLiteral("No request element: ") + xml.errorString());
        return std::nullopt;
    }
    if (xml.name() != QLatin1String("Request")) {
        SetError(error, QStringLiteral("Unexpected element ") + xml.name().toString());
        return std::nullopt;
    }
    Request request;
    const auto attributes = xml.attributes();
    const auto kind = KindFromName(attributes.value(QStringLiteral("kind")));
    if (!kind) {
        SetError(error, QStringLiteral("Unknown request kind ") +
                            attributes.value(QStringLiteral("kind")).toString());
        return std::nullopt;
    }
    request.kind = *kind;
    request.communicationReference = attributes.value(QStringLiteral("ref")).toString();
    request.protocolId = attributes.value(QStringLiteral("protocol")).toString();
    const auto slot = ToInt(attributes.value(QStringLiteral("slot")));
    if (!slot) {
        SetError(error, QStringLiteral("Request without a valid slot"));
        return std::nullopt;
    }
    request.slot = *slot;
    if (attributes.hasAttribute(QStringLiteral("index"))) {
        const auto index = ToInt(attributes.value(QStringLiteral("index")));
        if (!index) {
            SetError(error, QStringLiteral("Request with an invalid index"));
            return std::nullopt;
        }
        request.index = *index;
    }
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("Data")) {
            const auto bytes = FromHex(xml.readElementText());
            if (!bytes) {
                SetError(error, QStringLiteral("Request data is not hexadecimal"));
                return std::nullopt;
            }
            request.data = *bytes;
            request.hasData = true;
        } else {
            xml.skipCurrentElement();
        }
    }
    if (xml.hasError()) {
        SetError(error, xml.errorString());
        return std::nullopt;
    }
    return request;
}

QString ConnectResponse(const QString& communicationReference) {
    return WriteResponseDocument("CommunicationReference", communicationReference);
}

QString ErrorResponse(const QString& errorText) {
    return WriteResponseDocument("CommunicationError", errorText);
}

QString DataResponse(const ByteArray& data) {
    return WriteResponseDocument("Data", ToHex(data));
}

QString EmptyResponse() {
    return WriteResponseDocument(nullptr, {});
}

std::optional<Response> ParseResponse(const QString& document, QString* error) {
    QXmlStreamReader xml(document);
    if (!xml.readNextStartElement()) {
        SetError(error, QStringLiteral("Answer is not a document: ") +
                            (xml.hasError() ? xml.errorString() : QStringLiteral("empty")));
        return std::nullopt;
    }
    if (xml.name() != QLatin1String("Response")) {
        SetError(error,
                 QStringLiteral("Answer has the unexpected element ") + xml.name().toString());
        return std::nullopt;
    }
    Response response;
    while (xml.readNextStartElement()) {
        if (xml.name() == QLatin1String("CommunicationReference")) {
            response.communicationReference = xml.readElementText();
        } else if (xml.name() == QLatin1String("CommunicationError")) {
            response.hasError = true;
            response.errorText = xml.readElementText();
        } else if (xml.name() == QLatin1String("Data")) {
            const auto bytes = FromHex(xml.readElementText());
            if (!bytes) {
                SetError(error, QStringLiteral("Answer data is not hexadecimal"));
                return std::nullopt;
            }
            response.hasData = true;
            response.data = *bytes;
        } else {
            xml.skipCurrentElement();
        }
    }
    // Anything after the root element (or a broken root) makes it unusable.
    while (!xml.atEnd() && !xml.hasError()) {
        xml.readNext();
        if (xml.isStartElement()) {
            SetError(error, QStringLiteral("Answer has more than one root element"));
            return std::nullopt;
        }
    }
    if (xml.hasError()) {
        SetError(error, QStringLiteral("Answer cannot be parsed: ") + xml.errorString());
        return std::nullopt;
    }
    return response;
}

QString ToHex(const ByteArray& bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    QString text;
    text.reserve(static_cast<qsizetype>(bytes.size() * 2));
    for (const std::uint8_t b : bytes) {
        text.append(QLatin1Char(kDigits[b >> 4]));
        text.append(QLatin1Char(kDigits[b & 0x0F]));
    }
    return text;
}

std::optional<ByteArray> FromHex(const QString& text) {
    const auto digitValue = [](char16_t c) {
        if (c >= u'0' && c <= u'9') {
            return c - u'0';
        }
        if (c >= u'A' && c <= u'F') {
            return c - u'A' + 10;
        }
        if (c >= u'a' && c <= u'f') {
            return c - u'a' + 10;
        }
        return -1;
    };
    ByteArray bytes;
    bytes.reserve(static_cast<std::size_t>(text.size() / 2));
    int high = -1;
    for (const QChar c : text) {
        if (c.isSpace()) {
            continue;
        }
        const int digit = digitValue(c.unicode());
        if (digit < 0) {
            return std::nullopt;
        }
        if (high < 0) {
            high = digit;
        } else {
            bytes.push_back(static_cast<std::uint8_t>((high << 4) | digit));
            high = -1;
        }
    }
    if (high >= 0) {
        return std::nullopt;
    }
    return bytes;
}

} // namespace rq16::standins::documents
