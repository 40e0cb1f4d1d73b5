#pragma once

#include "platform/Colour.h"

#include <QByteArrayView>
#include <QHash>
#include <QPainter>
#include <QPoint>

class QFont;
class QImage;

// A device context over an image: the pens, brushes, lines, polygons and text the graph draws with.
// Lines are solid, one pixel wide and never antialiased, so every drawn pixel lies exactly where its
// integer coordinates say. Pens and brushes are objects with handles that the caller creates, selects
// and deletes; liveObjects() tells how many created objects are still alive.
class Gdi
{
public:
    using Handle = quint32;

    // Draws on the image, whose picture stays when the context is gone.
    Gdi(QImage& image, const QFont& font);
    ~Gdi();
    Q_DISABLE_COPY_MOVE(Gdi)

    // A solid pen one pixel wide; 0 when the colour names a system colour, which pens do not take.
    Handle createPen(Colour colour);
    Handle createSolidBrush(Colour colour);
    // Makes the object current for its kind and returns the object it replaced; 0 for an unknown handle.
    Handle selectObject(Handle object);
    // Fails for an unknown handle, a stock object and an object that is still selected.
    bool deleteObject(Handle object);

    void polyline(const QPoint* points, int count);
    // Filled with the current brush and outlined with the current pen.
    void polygon(const QPoint* points, int count);
    void moveToEx(int x, int y);
    void lineTo(int x, int y);
    void setTextColor(Colour colour);
    // Single-byte text with its top left corner at (x, y), on a transparent background.
    void textOutA(int x, int y, QByteArrayView text);

    int liveObjects() const { return int(m_objects.size()); }

private:
    enum class Kind
    {
        Pen,
        Brush
    };
    struct Object
    {
        Kind kind;
        Colour colour;
    };

    Handle addObject(Kind kind, Colour colour);
    void applyPen();
    void applyBrush();

    static constexpr Handle stockPen = 1;
    static constexpr Handle stockBrush = 2;

    QPainter m_painter;
    QHash<Handle, Object> m_objects;
    Handle m_nextHandle = stockBrush + 1;
    Handle m_pen = stockPen;
    Handle m_brush = stockBrush;
    QPoint m_position;
    Colour m_textColour = 0;
};
