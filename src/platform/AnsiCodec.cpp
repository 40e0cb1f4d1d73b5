#include "platform/AnsiCodec.h"

#include <array>

namespace {

// Bytes 0x80..0x9F; every other byte is the Unicode character of the same number.
constexpr std::array<char16_t, 32> highControlRange{
    0x20AC,
    0x0081,
    0x201A,
    0x0192,
    0x201E,
    0x2026,
    0x2020,
    0x2021,
    0x02C6,
    0x2030,
    0x0160,
    0x2039,
    0x0152,
    0x008D,
    0x017D,
    0x008F,
    0x0090,
    0x2018,
    0x2019,
    0x201C,
    0x201D,
    0x2022,
    0x2013,
    0x2014,
    0x02DC,
    0x2122,
    0x0161,
    0x203A,
    0x0153,
    0x009D,
    0x017E,
    0x0178,
};

QChar characterOf(unsigned char byte)
{
    if (byte >= 0x80 && byte <= 0x9F)
        return QChar(highControlRange[byte - 0x80u]);
    return QChar(byte);
}

} // namespace

namespace AnsiCodec {

QString decode(QByteArrayView bytes)
{
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (const char byte : bytes)
        *out++ = characterOf(static_cast<unsigned char>(byte));
    return text;
}

int codeOf(QChar character)
{
    const char16_t unicode = character.unicode();
    if (unicode < 0x80 || (unicode >= 0xA0 && unicode <= 0xFF))
        return unicode;
    for (std::size_t i = 0; i < highControlRange.size(); ++i) {
        if (highControlRange[i] == unicode)
            return int(0x80 + i);
    }
    return -1;
}

QByteArray encode(QStringView text)
{
    QByteArray bytes(text.size(), Qt::Uninitialized);
    char* out = bytes.data();
    for (const QChar character : text) {
        const int code = codeOf(character);
        *out++ = static_cast<char>(code < 0 ? '?' : code);
    }
    return bytes;
}

bool canEncode(QStringView text)
{
    for (const QChar character : text) {
        if (codeOf(character) < 0)
            return false;
    }
    return true;
}

} // namespace AnsiCodec
