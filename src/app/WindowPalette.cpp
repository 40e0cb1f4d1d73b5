#include "app/WindowPalette.h"

#include <QStyle>
#include <QStyleFactory>

#include <memory>

bool WindowPalette::isDark(const QPalette& palette)
{
    return palette.color(QPalette::Window).lightnessF() < palette.color(QPalette::WindowText).lightnessF();
}

QPalette WindowPalette::forDesktop(const QPalette& desktop)
{
    if (!isDark(desktop))
        return {};
    // A style's standard palette is light, with greyed texts for disabled controls.
    const std::unique_ptr<QStyle> style(QStyleFactory::create(QStringLiteral("Fusion")));
    return style->standardPalette();
}
