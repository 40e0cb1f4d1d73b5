#include "platform/SystemColours.h"

#include <array>

namespace {

constexpr Colour rgb(int red, int green, int blue)
{
    return Colour(red) | (Colour(green) << 8) | (Colour(blue) << 16);
}

// Indexes 0 to 30 of the classic scheme; index 25 is unused and reads as black.
constexpr std::array<Colour, 31> classicScheme{{
    rgb(192, 192, 192), // scroll bar
    rgb(0, 128, 128), // desktop
    rgb(0, 0, 128), // active caption
    rgb(128, 128, 128), // inactive caption
    rgb(192, 192, 192), // menu
    rgb(255, 255, 255), // window background
    rgb(0, 0, 0), // window frame
    rgb(0, 0, 0), // menu text
    rgb(0, 0, 0), // window text
    rgb(255, 255, 255), // caption text
    rgb(192, 192, 192), // active border
    rgb(192, 192, 192), // inactive border
    rgb(128, 128, 128), // application workspace
    rgb(0, 0, 128), // highlight
    rgb(255, 255, 255), // highlight text
    rgb(192, 192, 192), // button face
    rgb(128, 128, 128), // button shadow
    rgb(128, 128, 128), // grey text
    rgb(0, 0, 0), // button text
    rgb(192, 192, 192), // inactive caption text
    rgb(255, 255, 255), // button highlight
    rgb(0, 0, 0), // 3D dark shadow
    rgb(223, 223, 223), // 3D light
    rgb(0, 0, 0), // tooltip text
    rgb(255, 255, 225), // tooltip background
    rgb(0, 0, 0), // unused
    rgb(0, 0, 128), // hot-tracked item
    rgb(16, 132, 208), // active caption gradient
    rgb(181, 181, 181), // inactive caption gradient
    rgb(0, 0, 128), // menu highlight
    rgb(192, 192, 192), // menu bar
}};

} // namespace

namespace SystemColours {

Colour getSysColor(int index)
{
    if (index < 0 || index >= int(classicScheme.size()))
        return 0;
    return classicScheme[std::size_t(index)];
}

Colour resolve(Colour colour)
{
    if (!isSystemColour(colour))
        return colour;
    const Colour index = colour & ~systemColourFlag;
    return index < classicScheme.size() ? getSysColor(int(index)) : 0;
}

} // namespace SystemColours
