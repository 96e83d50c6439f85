// The QS and I&M data as the data set stores them (property bag contents),
// and the records as the module sends them.
#include "standins/helpers/IMData.h"
#include "standins/helpers/PropertyBag.h"
#include "standins/helpers/QsData.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const rq16::ByteArray bytes(data, data + size);
    rq16::standins::QsData qs;
    rq16::standins::IMData im;
    try {
        rq16::standins::PropertyBag bag;
        bag.SetContents(bytes);
        bag.ReadProperty(QStringLiteral("QsData"), qs);
        bag.ReadProperty(QStringLiteral("IMData"), im);
    } catch (const rq16::ComError&) {
    }
    try {
        qs.LoadBytes(bytes);
    } catch (const rq16::ComError&) {
    }
    const std::size_t third = size / 3;
    try {
        im.LoadRecords(rq16::ByteArray(data, data + third),
                       rq16::ByteArray(data + third, data + 2 * third),
                       rq16::ByteArray(data + 2 * third, data + size));
    } catch (const rq16::ComError&) {
    }
    return 0;
}
