#pragma once

#include "app/MainController.h"
#include "app/MainWindow.h"
#include "app/QtMessageBox.h"
#include "platform/Clock.h"
#include "platform/HttpTransfer.h"
#include "tray/QtTrayIcon.h"

#include <QString>

// The program's window on the desktop's own services, made and wired as the program starts it; the
// start-up and idle benchmarks make it the same way, so they measure what users start.
class ProgramWindow
{
public:
    // folder holds settings.ini; show() starts the window up and puts it on screen.
    explicit ProgramWindow(const QString& folder);
    Q_DISABLE_COPY_MOVE(ProgramWindow)
    ~ProgramWindow() = default;

    void show();
    MainWindow& window() { return m_window; }
    MainController& controller() { return m_controller; }

private:
    // The tray icon is made first, so the desktop has the longest time to say which tray it runs.
    QtTrayIcon m_trayIcon;
    HttpTransfer m_transfer;
    SystemClock m_clock;
    MainWindow m_window;
    QtMessageBox m_messageBox{&m_window};
    MainController m_controller;
};
