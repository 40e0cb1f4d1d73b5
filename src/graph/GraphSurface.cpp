#include "graph/GraphSurface.h"

#include <QMouseEvent>
#include <QPainter>

GraphSurface::GraphSurface(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void GraphSurface::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.drawImage(0, 0, m_image);
}

void GraphSurface::resizeEvent(QResizeEvent*)
{
    // A new size keeps the old picture in the corner it covers, like a persistent picture box.
    QImage resized(size(), QImage::Format_RGB32);
    resized.fill(Qt::white);
    QPainter painter(&resized);
    painter.drawImage(0, 0, m_image);
    m_image = resized;
}

void GraphSurface::mouseReleaseEvent(QMouseEvent* event)
{
    emit mouseReleased(event->button(), event->globalPosition().toPoint());
}
