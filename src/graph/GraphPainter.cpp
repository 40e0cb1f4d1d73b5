#include "graph/GraphPainter.h"

#include "graph/GraphFrame.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <QtMath>

#include <algorithm>
#include <array>

namespace {

// Solid and never antialiased: one pixel wide at scale 1, and at a larger scale a whole number of
// device pixels, so that a line keeps one even width along its length.
QPen linePen(const QColor& colour, qreal devicePixelRatio)
{
    QPen pen(colour, std::max(1, qRound(devicePixelRatio)));
    pen.setCosmetic(true);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    return pen;
}

void drawMarker(QPainter& painter, QPoint point)
{
    const std::array<QPoint, 4> diamond{{
        {point.x(), point.y() - GraphPainter::markerReach},
        {point.x() + GraphPainter::markerReach, point.y()},
        {point.x(), point.y() + GraphPainter::markerReach},
        {point.x() - GraphPainter::markerReach, point.y()},
    }};
    painter.drawPolygon(diamond.data(), int(diamond.size()));
}

// Text stays at its own coordinates, without the move that puts lines on pixel centres: glyphs
// cover the same area at every scale.
void drawCode(QPainter& painter, const GraphFrame::Series& series, QPointF lineCentre)
{
    const QPoint baseline = series.codeTopLeft + QPoint(0, QFontMetrics(painter.font()).ascent());
    painter.drawText(QPointF(baseline) - lineCentre, series.code);
}

void drawSeries(QPainter& painter, const GraphFrame::Series& series, qreal devicePixelRatio, QPointF lineCentre)
{
    painter.setPen(linePen(series.colour, devicePixelRatio));
    painter.drawPolyline(series.points.data(), int(series.points.size()));
    if (series.marker) {
        painter.setBrush(series.colour);
        drawMarker(painter, series.points.back());
    } else {
        drawCode(painter, series, lineCentre);
    }
}

void paint(QPainter& painter, const GraphFrame& frame)
{
    const qreal devicePixelRatio = painter.device()->devicePixelRatio();
    // At scale 1 a one-pixel line fills the pixels its integer coordinates name, that is the squares
    // right of and below them; a wider line is centred on its coordinates, so it is moved to the
    // middle of those squares and covers the same area at every scale.
    const QPointF lineCentre = devicePixelRatio == 1.0 ? QPointF() : QPointF(0.5, 0.5);
    painter.translate(lineCentre);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, false);
    painter.setFont(GraphPainter::font());
    painter.setPen(linePen(GraphPainter::gridColour, devicePixelRatio));
    for (const QLine& line : frame.grid)
        painter.drawLine(line);
    for (const GraphFrame::Series& series : frame.series)
        drawSeries(painter, series, devicePixelRatio, lineCentre);
}

} // namespace

namespace GraphPainter {

QFont font()
{
    QFont font(QStringLiteral("Liberation Sans Narrow"));
    font.setPixelSize(9);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

QSize textSize(const QString& text)
{
    // One line of text is always the font's full height.
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(text), metrics.height()};
}

QImage picture(const GraphFrame& frame, QRect shown, QSize size, qreal devicePixelRatio)
{
    QImage image(qCeil(size.width() * devicePixelRatio), qCeil(size.height() * devicePixelRatio), QImage::Format_RGB32);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setClipRect(shown);
    paint(painter, frame);
    return image;
}

} // namespace GraphPainter
