#pragma once

#include <QColor>
#include <QtGlobal>

// A colour as the window layout stores it: 0x00BBGGRR, red in the low byte.
// With bit 31 set (0x800000nn) it names system colour nn instead.
using Colour = quint32;

inline constexpr Colour systemColourFlag = 0x80000000u;

inline constexpr bool isSystemColour(Colour colour)
{
    return (colour & systemColourFlag) != 0;
}

// Plain RGB colours only; system colours are resolved by SystemColours first.
inline QColor toQColor(Colour colour)
{
    return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}
