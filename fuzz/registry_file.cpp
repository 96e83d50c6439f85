// The registry file.
#include "common/RegManagement.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray contents(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const QString key = QStringLiteral("SOFTWARE\\Orlin\\DTM kelio-DP");
    for (const QString& name : {QStringLiteral("Debug"), QStringLiteral("DebugFile")}) {
        const rq16::RegistryValue value = rq16::ReadRegistryValueFrom(contents, key, name);
        if (value.kind == rq16::RegistryValue::Kind::String && value.text.size() > 255) {
            __builtin_trap(); // longer than the buffer: must read as unreadable
        }
    }
    rq16::ReadRegistryValueFrom(contents, QStringLiteral("SOFTWARE"), QString(), key);
    return 0;
}
