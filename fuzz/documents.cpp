// The documents of the DTM and the answers of the communication object.
#include "standins/communication/Documents.h"
#include "standins/communication/ResponseParser.h"
#include "standins/documents/FdtDocuments.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    rq16::standins::documents::ParseRequest(text);
    rq16::standins::ResponseParser().Parse(text, nullptr);
    rq16::standins::ModuleReader().Parse(text, nullptr);
    rq16::standins::ChannelReader().Parse(text, nullptr);
    rq16::standins::InfoReader().Parse(text, nullptr);
    return 0;
}
