#pragma once

#include <QColor>
#include <QFont>
#include <QImage>

struct GraphFrame;

// Puts a graph frame into pixels. The frame's coordinates are logical pixels: on a screen with a
// device pixel ratio above 1 the painter scales them, so lines, markers and codes are drawn at the
// screen's resolution and are as sharp as the window's text. At a ratio of 1 every pixel lies
// exactly where the frame's integer coordinates put it.
namespace GraphPainter {

inline constexpr QColor gridColour{189, 231, 239};
inline constexpr int markerReach = 3;

// The narrow face at 9 pixels, which is 6.75 points at 96 dots per inch, without antialiasing so
// that a code keeps its series colour exactly.
QFont font();
// The room a text takes in the graph's font: its advance, and the font's full height.
QSize textSize(const QString& text);

// A white picture of the surface size at the device pixel ratio, with the frame drawn inside
// `shown`, the part of the surface the frame still covers.
QImage picture(const GraphFrame& frame, QRect shown, QSize size, qreal devicePixelRatio);

} // namespace GraphPainter
