// The QS and I&M data as the data set stores them (property bag contents),
// and the records as the module sends them.
#include "standins/helpers/IMData.h"
#include "standins/helpers/PropertyBag.h"
#include "standins/helpers/QsData.h"

template <typename F> void Refusable(F&& step) {
    try {
        step();
    } catch (const rq16::ComError&) {
    }
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const rq16::ByteArray bytes(data, data + size);
    const auto third = static_cast<std::ptrdiff_t>(size / 3);
    rq16::standins::QsData qs;
    rq16::standins::IMData im;
    rq16::standins::PropertyBag bag;
    Refusable([&] { bag.SetContents(bytes); });
    Refusable([&] { bag.ReadProperty(QStringLiteral("QsData"), qs); });
    Refusable([&] { bag.ReadProperty(QStringLiteral("IMData"), im); });
    Refusable([&] { qs.LoadBytes(bytes); });
    Refusable([&] {
        im.LoadRecords({bytes.begin(), bytes.begin() + third},
                       {bytes.begin() + third, bytes.begin() + 2 * third},
                       {bytes.begin() + 2 * third, bytes.end()});
    });
    return 0;
}
