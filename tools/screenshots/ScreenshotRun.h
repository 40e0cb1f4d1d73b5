#pragma once

#include "ui_MainWindow.h"

#include "app/MainController.h"
#include "app/MainWindow.h"
#include "platform/HttpTransfer.h"
#include "support/FakeClock.h"
#include "support/RecordingMessageBox.h"
#include "support/RecordingTrayIcon.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimer>

// Enough captures before the first picture for the graph to show a stretch of history.
inline constexpr int historyCaptures = 60;
// The simulator is started with a drop within this many captures.
inline constexpr int capturesBeforeGivingUp = 100;

// Drives the real window against the router simulator through the controller's own handlers and
// saves pictures of it; the clock advances one minute per capture so the times shown look real.
class ScreenshotRun
{
public:
    ScreenshotRun(const QString& port, const QString& outputFolder)
        : m_controller(m_window, Platform{m_trayIcon, m_transfer, m_messageBox, m_clock, m_programFolder.path()})
        , m_output(outputFolder)
    {
        QObject::connect(&m_controller, &MainController::captureFinished, [this] { ++m_done; });
        m_controller.startUp();
        Ui::MainWindow& ui = m_window.ui();
        ui.addressEdit->setText(QStringLiteral("127.0.0.1"));
        ui.portEdit->setText(port);
        ui.passwordEdit->setText(QStringLiteral("admin"));
        ui.intervalEdit->setText(QStringLiteral("1"));
        m_window.show();
    }

    bool saveFailed() const { return m_saveFailed; }

    bool run()
    {
        const int before = m_done;
        m_controller.toggleMonitoring();
        if (!waitForCaptureAfter(before))
            return false;
        for (int i = 1; i < historyCaptures; ++i) {
            if (!captureOnce())
                return false;
        }
        save(m_window.grab(), QStringLiteral("monitoring.png"));
        saveUnderDarkDesktop();
        if (!captureUntilDrop())
            return false;
        save(m_window.grab(), QStringLiteral("drop.png"));
        for (int i = 0; i < 6; ++i) {
            if (!captureOnce())
                return false;
        }
        return graphPictures() && menuPictures();
    }

private:
    bool graphPictures()
    {
        m_window.gridAction()->trigger();
        m_window.markersAction()->trigger();
        if (!captureOnce())
            return false;
        save(m_window.ui().graphSurface->grab(), QStringLiteral("graph-markers.png"));
        m_window.labelsAction()->trigger();
        if (!captureOnce())
            return false;
        save(m_window.ui().graphSurface->grab(), QStringLiteral("graph-codes.png"));
        return true;
    }

    bool menuPictures()
    {
        save(menuPicture(*m_window.graphMenu(), nullptr), QStringLiteral("graph-menu.png"));
        save(menuPicture(*m_window.trayMenu(), m_window.showAction()), QStringLiteral("tray-menu.png"));
        return true;
    }

    QPixmap menuPicture(QMenu& menu, QAction* defaultItem)
    {
        menu.setDefaultAction(defaultItem);
        menu.popup(m_window.mapToGlobal(QPoint(40, 40)));
        settle();
        QPixmap picture = menu.grab();
        menu.hide();
        return picture;
    }

    bool captureUntilDrop()
    {
        const QString noDrop = m_window.ui().lastDropLabel->text();
        for (int i = 0; i < capturesBeforeGivingUp; ++i) {
            if (!captureOnce())
                return false;
            if (m_window.ui().lastDropLabel->text() != noDrop)
                return true;
        }
        std::fprintf(stderr, "no line drop within %d captures\n", capturesBeforeGivingUp);
        return false;
    }

    // One timed capture: the one-second ticks are fed by hand until the interval has passed.
    bool captureOnce()
    {
        m_clock.current = m_clock.current.addSecs(60);
        const int before = m_done;
        for (int tick = 0; tick < 120 && !m_controller.isCapturing() && m_done == before; ++tick)
            m_controller.onTick();
        return waitForCaptureAfter(before);
    }

    bool waitForCaptureAfter(int before)
    {
        if (m_done == before) {
            QEventLoop loop;
            QObject::connect(&m_controller, &MainController::captureFinished, &loop, &QEventLoop::quit);
            QTimer::singleShot(10000, &loop, &QEventLoop::quit);
            loop.exec();
        }
        if (m_done == before) {
            std::fprintf(stderr, "a capture did not end within 10 s\n");
            return false;
        }
        settle();
        return true;
    }

    // Lets pending paints and layout run before a picture is taken.
    static void settle()
    {
        QEventLoop loop;
        QTimer::singleShot(100, &loop, &QEventLoop::quit);
        loop.exec();
    }

    // The window after the desktop has switched to a dark theme.
    void saveUnderDarkDesktop()
    {
        const QPalette desktop = QApplication::palette();
        const QColor text(224, 224, 224);
        QApplication::setPalette(QPalette(text, QColor(53, 53, 53), QColor(80, 80, 80), QColor(25, 25, 25),
            QColor(40, 40, 40), text, Qt::white, QColor(30, 30, 30), QColor(45, 45, 45)));
        save(m_window.grab(), QStringLiteral("dark.png"));
        QApplication::setPalette(desktop);
    }

    void save(const QPixmap& picture, const QString& name)
    {
        const QString path = m_output.filePath(name);
        if (!picture.save(path, "PNG")) {
            std::fprintf(stderr, "could not write %s\n", qPrintable(path));
            m_saveFailed = true;
            return;
        }
        std::printf("wrote %s (%d x %d)\n", qPrintable(path), picture.width(), picture.height());
    }

    QTemporaryDir m_programFolder;
    RecordingTrayIcon m_trayIcon;
    HttpTransfer m_transfer;
    RecordingMessageBox m_messageBox;
    FakeClock m_clock;
    MainWindow m_window;
    MainController m_controller;
    QDir m_output;
    int m_done = 0;
    bool m_saveFailed = false;
};
