// The data set file.
#include "standins/dtm/DataSet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const auto set = rq16::standins::DataSet::FromJson(
            QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
        // What is written back must read back the same.
        if (!(rq16::standins::DataSet::FromJson(set.ToJson()) == set)) {
            __builtin_trap();
        }
    } catch (const rq16::ComError&) {
    }
    return 0;
}
