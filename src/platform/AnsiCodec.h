#pragma once

#include <QByteArray>
#include <QString>

// The system's single-byte code page, Windows-1252, with every byte value kept: the five bytes the
// code page leaves undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the control characters of the
// same number, as the platform does, so any byte string survives decoding and encoding unchanged.
namespace AnsiCodec {

QString decode(QByteArrayView bytes);

// Characters outside the code page become '?', the platform's default character.
QByteArray encode(QStringView text);

// True when every character of the text has a code in the code page.
bool canEncode(QStringView text);

// The code (0..255) of one character, or -1 when the code page has none.
int codeOf(QChar character);

} // namespace AnsiCodec
