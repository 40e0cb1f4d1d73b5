#include "app/BorderShape.h"

#include <QPainter>

BorderShape::BorderShape(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
}

void BorderShape::setOutlineColour(const QColor& colour)
{
    m_outlineColour = colour;
    update();
}

void BorderShape::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setPen(QPen(m_outlineColour, 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    // The outline lies on the widget's outermost pixels, inside its rectangle.
    const QRect outline = rect().adjusted(0, 0, -1, -1);
    painter.drawRect(outline);
    // The dots need not fall on the corners; marking them keeps the frame reading as a rectangle.
    painter.setPen(QPen(m_outlineColour, 1, Qt::SolidLine));
    const QPoint corners[] = {outline.topLeft(), outline.topRight(), outline.bottomLeft(), outline.bottomRight()};
    painter.drawPoints(corners, 4);
}
