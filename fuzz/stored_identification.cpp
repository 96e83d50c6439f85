// The QS and I&M data as the data set stores them (property bag contents),
// and the records as the module sends them.
#include "standins/helpers/IMData.h"
#include "standins/helpers/PropertyBag.h"
#include "standins/helpers/QsData.h"

#include <functional>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::size_t third = size / 3;
    const auto part = [&](std::size_t from, std::size_t to) {
        return rq16::ByteArray(data + from, data + to);
    };
    rq16::standins::QsData qs;
    rq16::standins::IMData im;
    rq16::standins::PropertyBag bag;
    for (const auto& step : std::initializer_list<std::function<void()>>{
             [&] { bag.SetContents(part(0, size)); },
             [&] { bag.ReadProperty(QStringLiteral("QsData"), qs); },
             [&] { bag.ReadProperty(QStringLiteral("IMData"), im); },
             [&] { qs.LoadBytes(part(0, size)); },
             [&] {
                 im.LoadRecords(part(0, third), part(third, 2 * third), part(2 * third, size));
             }}) {
        try {
            step();
        } catch (const rq16::ComError&) {
        }
    }
    return 0;
}
