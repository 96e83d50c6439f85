// The I&M1 and I&M2 records built from texts the data set and the module
// give (tag function, tag location, installation date, headers).
#include "IMRecords.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QStringList texts =
        QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size))
            .split(QLatin1Char('\n'));
    const auto text = [&](int i) { return i < texts.size() ? texts[i] : QString(); };
    using namespace rq16::identification;
    const rq16::ByteArray im1 = BuildIM1Record(text(0), text(1), text(2));
    const rq16::ByteArray im2 = BuildIM2Record(text(3), text(4), text(5));
    if (im1.size() > kRecordWriteSize || im2.size() > kRecordWriteSize) {
        __builtin_trap(); // a written record never grows beyond 68 bytes
    }
    ContentsDiffer(im1, im2);
    return 0;
}
