#include "tray/WidgetTrayWindow.h"

#include "platform/IconRegistry.h"

#include <QWidget>

WidgetTrayWindow::WidgetTrayWindow(QWidget& widget, IconRegistry& icons)
    : m_widget(widget)
    , m_icons(icons)
{ }

// Native window ids of the desktop's windowing system fit in 32 bits.
quint32 WidgetTrayWindow::windowHandle() const
{
    return quint32(m_widget.winId());
}

quint32 WidgetTrayWindow::currentIconHandle() const
{
    return m_icons.handleFor(m_widget.windowIcon());
}

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
