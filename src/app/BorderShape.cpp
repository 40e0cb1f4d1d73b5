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
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}
