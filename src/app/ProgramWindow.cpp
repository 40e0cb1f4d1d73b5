#include "app/ProgramWindow.h"

#include "app/ProgramIcon.h"

#include <QApplication>

ProgramWindow::ProgramWindow(const QString& folder)
    : m_controller(m_window, Platform{m_trayIcon, m_transfer, m_messageBox, m_clock, folder})
{
    // Desktops match the window to its menu entry, and so to the themed icon, by this name; on
    // Wayland that is the only way the window gets an icon. Dialogs show the program's icon.
    QGuiApplication::setDesktopFileName(QStringLiteral("linegauge"));
    QApplication::setWindowIcon(ProgramIcon::icon());
}

void ProgramWindow::show()
{
    m_controller.startUp();
    m_window.show();
}
