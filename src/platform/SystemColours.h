#pragma once

#include "platform/Colour.h"

// The desktop's system colours as the classic default colour scheme sets them, looked up by index
// the way a colour with bit 31 set names them.
namespace SystemColours {

inline constexpr int windowText = 8;
inline constexpr int inactiveCaptionText = 19;
inline constexpr int infoBackground = 24;

// The colour (0x00BBGGRR) of system colour index; 0 (black) for an index the table does not have.
Colour getSysColor(int index);

// A plain colour unchanged; a system colour (bit 31 set) replaced by its table entry.
Colour resolve(Colour colour);

} // namespace SystemColours
