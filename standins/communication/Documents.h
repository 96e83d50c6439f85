#pragma once
// The request and answer documents that travel between the views and the
// communication object. They are small XML texts:
//
//   <Request kind="Connect" slot="3" protocol="{...}"/>
//   <Request kind="ReadDiagnosis" ref="C1" slot="3"/>
//   <Request kind="Write" ref="C1" slot="3" index="255"><Data>0800FDE8</Data></Request>
//
//   <Response><CommunicationReference>C1</CommunicationReference></Response>
//   <Response><CommunicationError>text</CommunicationError></Response>
//   <Response><Data>001335</Data></Response>
//   <Response/>                         (positive, nothing carried)
//
// Data is written as upper-case hexadecimal digits, two per byte.

#include "host/Types.h"

#include <QString>

#include <cstdint>
#include <optional>

namespace rq16::standins::documents {

// ---- request builders ----
QString ConnectRequest(std::int32_t slotNumber, const QString& protocolId);
QString ReadDiagnosisRequest(const QString& ref, std::int32_t slot);
QString ReadOutputValuesRequest(const QString& ref, std::int32_t slot);
QString SimulationReadRequest(const QString& ref, std::int32_t slot);
QString GlobalForcingEnableRequest(const QString& ref, std::int32_t slot);
QString WriteForceValuesRequest(const QString& ref, std::int32_t slot, const ByteArray& block);
QString ReadQsDataRequest(const QString& ref, std::int32_t slot);
/// A read of a record index.
QString ReadRequest(const QString& ref, std::int32_t slot, std::int32_t index);
/// A write of `data` to a record index.
QString WriteRequest(const QString& ref, std::int32_t slot, std::int32_t index,
                     const ByteArray& data);

/// What a request asks for.
enum class RequestKind {
    Connect,
    ReadDiagnosis,
    ReadOutputValues,
    SimulationRead,
    GlobalForcingEnable,
    WriteForceValues,
    ReadQsData,
    Read,
    Write,
};

QString KindName(RequestKind kind);

/// A parsed request document.
struct Request {
    RequestKind kind = RequestKind::Connect;
    QString communicationReference;
    std::int32_t slot = 0;
    std::int32_t index = -1; ///< Read and Write only
    QString protocolId;      ///< Connect only
    ByteArray data;          ///< WriteForceValues and Write
    bool hasData = false;
};

/// Parses a request document; on failure returns nothing and puts the reason
/// into `error` if given.
std::optional<Request> ParseRequest(const QString& document, QString* error = nullptr);

// ---- answer builders ----
QString ConnectResponse(const QString& communicationReference);
QString ErrorResponse(const QString& errorText);
QString DataResponse(const ByteArray& data);
/// A positive answer that carries neither data nor a reference.
QString EmptyResponse();

/// A parsed answer document.
struct Response {
    QString communicationReference;
    bool hasError = false;
    QString errorText;
    bool hasData = false;
    ByteArray data;
};

/// Parses an answer document; on failure returns nothing and puts the reason
/// into `error` if given.
std::optional<Response> ParseResponse(const QString& document, QString* error = nullptr);

// ---- byte helpers ----
/// "0800FDE8" for the bytes 08 00 FD E8.
QString ToHex(const ByteArray& bytes);
/// The bytes of a hexadecimal text; whitespace is skipped. Nothing when the
/// text holds another character or an odd number of digits.
std::optional<ByteArray> FromHex(const QString& text);

} // namespace rq16::standins::documents
