// Any stored text as the scrambled password: either the settings file's bytes in the single-byte
// code page, or raw UTF-16 so characters the code page lacks come in too.

#include "FuzzCheck.h"
#include "platform/AnsiCodec.h"
#include "settings/PasswordScrambler.h"

#include <cstddef>
#include <cstdint>
#include <optional>

namespace {

QString storedText(const std::uint8_t* data, std::size_t size)
{
    const bool wide = size > 0 && (data[0] & 1u) != 0;
    const QByteArrayView bytes(data + (size > 0 ? 1 : 0), qsizetype(size > 0 ? size - 1 : 0));
    if (!wide)
        return AnsiCodec::decode(bytes);
    QString text;
    for (qsizetype i = 0; i + 1 < bytes.size(); i += 2)
        text.append(QChar(char16_t(quint8(bytes[i]) | quint8(bytes[i + 1]) << 8)));
    return text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QString stored = storedText(data, size);
    const std::optional<QString> clear = unscramblePassword(passwordKey, stored);
    if (!clear)
        return 0;
    fuzzCheck(clear->size() == stored.size(), "the clear text is as long as the stored text");
    const std::optional<QString> again = scramblePassword(passwordKey, *clear);
    fuzzCheck(again.has_value(), "a text that unscrambles scrambles again");
    fuzzCheck(*again == stored, "scrambling the unscrambled text gives the stored text back");
    return 0;
}
