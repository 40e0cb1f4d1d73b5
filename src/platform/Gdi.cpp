#include "platform/Gdi.h"

#include "platform/AnsiCodec.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QPen>

#include <utility>

Gdi::Gdi(QImage& image, const QFont& font)
{
    // A null image cannot take a painter; every call then draws nothing, as on a failed context.
    if (!image.isNull())
        m_painter.begin(&image);
    m_painter.setRenderHint(QPainter::Antialiasing, false);
    m_painter.setRenderHint(QPainter::TextAntialiasing, false);
    m_painter.setFont(font);
    applyPen();
    applyBrush();
}

Gdi::~Gdi()
{
    if (m_painter.isActive())
        m_painter.end();
}

Gdi::Handle Gdi::createPen(Colour colour)
{
    if (isSystemColour(colour))
        return 0;
    return addObject(Kind::Pen, colour);
}

Gdi::Handle Gdi::createSolidBrush(Colour colour)
{
    if (isSystemColour(colour))
        return 0;
    return addObject(Kind::Brush, colour);
}

Gdi::Handle Gdi::addObject(Kind kind, Colour colour)
{
    const Handle handle = m_nextHandle++;
    m_objects.insert(handle, {kind, colour});
    return handle;
}

Gdi::Handle Gdi::selectObject(Handle object)
{
    Handle previous = 0;
    if (object == stockPen || (m_objects.contains(object) && m_objects.value(object).kind == Kind::Pen)) {
        previous = std::exchange(m_pen, object);
        applyPen();
    } else if (object == stockBrush || m_objects.contains(object)) {
        previous = std::exchange(m_brush, object);
        applyBrush();
    }
    return previous;
}

bool Gdi::deleteObject(Handle object)
{
    if (object == m_pen || object == m_brush)
        return false;
    return m_objects.remove(object);
}

void Gdi::applyPen()
{
    const Colour colour = m_pen == stockPen ? 0x000000 : m_objects.value(m_pen).colour;
    QPen pen(toQColor(colour));
    pen.setWidth(1);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    m_painter.setPen(pen);
}

void Gdi::applyBrush()
{
    const Colour colour = m_brush == stockBrush ? 0xFFFFFF : m_objects.value(m_brush).colour;
    m_painter.setBrush(toQColor(colour));
}

void Gdi::polyline(const QPoint* points, int count)
{
    if (points && count >= 2)
        m_painter.drawPolyline(points, count);
}

void Gdi::polygon(const QPoint* points, int count)
{
    if (points && count >= 2)
        m_painter.drawPolygon(points, count);
}

void Gdi::moveToEx(int x, int y)
{
    m_position = QPoint(x, y);
}

void Gdi::lineTo(int x, int y)
{
    const QPoint end(x, y);
    m_painter.drawLine(m_position, end);
    m_position = end;
}

void Gdi::setTextColor(Colour colour)
{
    m_textColour = colour;
}

void Gdi::textOutA(int x, int y, QByteArrayView text)
{
    const QPen kept = m_painter.pen();
    m_painter.setPen(toQColor(m_textColour));
    m_painter.drawText(QPoint(x, y + QFontMetrics(m_painter.font()).ascent()), AnsiCodec::decode(text));
    m_painter.setPen(kept);
}
