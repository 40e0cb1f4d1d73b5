#include "app/ClickableLabel.h"

#include <QMouseEvent>

ClickableLabel::ClickableLabel(QWidget* parent)
    : QLabel(parent)
{ }

void ClickableLabel::mouseReleaseEvent(QMouseEvent* event)
{
    // A press that is dragged off the label and released elsewhere is not a click.
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QLabel::mouseReleaseEvent(event);
}
