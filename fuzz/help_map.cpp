// The help file's topic map.
#include "common/HelpUtilities.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const rq16::HelpMap help = rq16::ParseHelpMap(
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    const QString folder = QStringLiteral("/nonexistent/help/kelio");
    for (const auto& [id, page] : help.pages) {
        const QString file = rq16::HelpPageFile(folder, page);
        if (!file.isEmpty() && !file.startsWith(folder + QLatin1Char('/'))) {
            __builtin_trap(); // a page outside the help folder
        }
    }
    rq16::HelpPageFile(folder, help.defaultPage);
    return 0;
}
