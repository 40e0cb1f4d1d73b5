#include "graph/GraphSurface.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

GraphSurface::GraphSurface(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFont(surfaceFont());
}

QFont GraphSurface::surfaceFont()
{
    QFont font(QStringLiteral("Liberation Sans Narrow"));
    font.setPixelSize(9);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

void GraphSurface::clear()
{
    if (m_image.size() != size())
        m_image = QImage(size(), QImage::Format_RGB32);
    m_image.fill(Qt::white);
}

int GraphSurface::textWidth(const QString& text) const
{
    return QFontMetrics(font()).horizontalAdvance(text);
}

int GraphSurface::textHeight(const QString& text) const
{
    Q_UNUSED(text) // one line of text is always the font's full height
    return QFontMetrics(font()).height();
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
