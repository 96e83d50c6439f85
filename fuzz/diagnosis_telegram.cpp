// The module diagnosis telegram.
#include "TelegramDecoder.h"

namespace {
class Texts : public rq16::diagnosis::ITextSource {
public:
    QString CommonText(std::int32_t id) override {
        if (id % 7 == 0) {
            throw rq16::ComError(rq16::kErrNotFound, QStringLiteral("no text"));
        }
        return QString::number(id);
    }
    QString ChannelLabelWord() override { return QStringLiteral("channel"); }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Texts texts;
    const auto decoded = rq16::diagnosis::DecodeTelegram(rq16::ByteArray(data, data + size), texts);
    rq16::diagnosis::RichTextPosition(decoded.channelText, decoded.errorStart);
    for (const auto& entry : decoded.entries) {
        rq16::diagnosis::ChannelTerminal(entry.channel);
        rq16::diagnosis::GroupFirstTerminal(entry.channel);
    }
    return 0;
}
