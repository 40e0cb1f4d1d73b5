#include "graph/GraphSurface.h"

#include "graph/GraphPainter.h"

#include <QMouseEvent>
#include <QPainter>

#include <utility>

GraphSurface::GraphSurface(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The face the codes are drawn in, so the form states it too.
    setFont(GraphPainter::font());
}

void GraphSurface::showFrame(GraphFrame frame)
{
    m_frame = std::move(frame);
    m_shown = rect();
    drawPicture();
    update();
}

void GraphSurface::drawPicture()
{
    m_image = GraphPainter::picture(m_frame, m_shown, size(), devicePixelRatio());
}

void GraphSurface::paintEvent(QPaintEvent*)
{
    if (m_image.devicePixelRatio() != devicePixelRatio())
        drawPicture();
    QPainter painter(this);
    painter.drawImage(0, 0, m_image);
}

void GraphSurface::resizeEvent(QResizeEvent*)
{
    // A new size keeps the picture in the corner it covers, like a persistent picture box.
    m_shown &= rect();
    drawPicture();
}

void GraphSurface::mouseReleaseEvent(QMouseEvent* event)
{
    emit mouseReleased(event->button(), event->globalPosition().toPoint());
}
