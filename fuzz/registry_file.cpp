// The registry file.
#include "common/RegManagement.h"
#include "frame/host/Constants.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray contents(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (const QString& name : {rq16::kRegistryDebug, rq16::kRegistryDebugFile}) {
        const rq16::RegistryValue value =
            rq16::ReadRegistryValueFrom(contents, rq16::kRegistryKey, name);
        if (value.kind == rq16::RegistryValue::Kind::String && value.text.size() > 255) {
            __builtin_trap(); // longer than the buffer: must read as unreadable
        }
    }
    rq16::ReadRegistryValueFrom(contents, QStringLiteral("SOFTWARE"), QString(),
                                rq16::kRegistryKey);
    rq16::RegistryTextProblem(contents);
    return 0;
}
