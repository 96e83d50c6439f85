// The module diagnosis telegram.
#include "TelegramDecoder.h"

namespace {
struct Texts : rq16::diagnosis::ITextSource {
    QString CommonText(std::int32_t id) override {
        return id % 7 ? QString::number(id) : throw rq16::ComError(0, QStringLiteral("no text"));
    }
    QString ChannelLabelWord() override { return QStringLiteral("channel"); }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Texts texts;
    const auto decoded = rq16::diagnosis::DecodeTelegram(rq16::ByteArray(data, data + size), texts);
    rq16::diagnosis::RichTextPosition(decoded.channelText, decoded.errorStart);
    return 0;
}
