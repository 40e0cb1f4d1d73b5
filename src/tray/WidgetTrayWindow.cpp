#include "tray/WidgetTrayWindow.h"

#include <QWidget>

WidgetTrayWindow::WidgetTrayWindow(QWidget& widget)
    : m_widget(widget)
{ }

void WidgetTrayWindow::setWindowVisible(bool visible)
{
    m_widget.setVisible(visible);
}

void WidgetTrayWindow::setWindowMinimised(bool minimised)
{
    const Qt::WindowStates state = m_widget.windowState();
    m_widget.setWindowState(minimised ? state | Qt::WindowMinimized : state & ~Qt::WindowMinimized);
}

void WidgetTrayWindow::setWindowIcon(const QIcon& icon)
{
    m_widget.setWindowIcon(icon);
}

void WidgetTrayWindow::activateWindow()
{
    m_widget.raise();
    m_widget.activateWindow();
}
