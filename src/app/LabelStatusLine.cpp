#include "app/LabelStatusLine.h"

#include "app/AccessibleNames.h"

#include <QLabel>

LabelStatusLine::LabelStatusLine(QLabel& label)
    : m_label(label)
{ }

void LabelStatusLine::showStatus(const QString& text)
{
    m_label.setText(text);
    m_label.setAccessibleName(AccessibleNames::withValue(QStringLiteral("Status"), text));
}

void LabelStatusLine::setStatusColour(const QColor& colour)
{
    QPalette palette = m_label.palette();
    palette.setColor(QPalette::WindowText, colour);
    m_label.setPalette(palette);
}
