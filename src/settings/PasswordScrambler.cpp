#include "settings/PasswordScrambler.h"

#include "platform/AnsiCodec.h"
#include "platform/PrivateProfile.h"

namespace {

// Both directions walk the text from its last character to its first, the key cycling from its
// first character, and combine the codes with sign +1 or -1.
std::optional<QString> combine(QStringView key, QStringView text, int sign)
{
    if (text.isEmpty())
        return QString();
    if (key.isEmpty())
        return std::nullopt;
    QString result(text.size(), Qt::Uninitialized);
    qsizetype keyIndex = 0;
    for (qsizetype position = text.size() - 1; position >= 0; --position) {
        const int textCode = AnsiCodec::codeOf(text[position]);
        const int keyCode = AnsiCodec::codeOf(key[keyIndex]);
        if (textCode < 0 || keyCode < 0)
            return std::nullopt;
        const int code = textCode + sign * keyCode;
        if (code < 0 || code > 255)
            return std::nullopt;
        result[position] = AnsiCodec::decode(QByteArray(1, char(code))).front();
        keyIndex = (keyIndex + 1) % key.size();
    }
    return result;
}

} // namespace

std::optional<QString> scramblePassword(QStringView key, QStringView text)
{
    return combine(key, text, +1);
}

std::optional<QString> unscramblePassword(QStringView key, QStringView text)
{
    return combine(key, text, -1);
}

bool canStorePassword(QStringView password)
{
    // A longer value would be cut when read back, which shifts the key under every character.
    return password.size() <= PrivateProfile::maxValueLength && scramblePassword(passwordKey, password).has_value();
}
