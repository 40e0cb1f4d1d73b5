#include "tray/TrayController.h"

#include "platform/TrayShell.h"
#include "stats/StatusLine.h"
#include "stats/StatusTexts.h"
#include "tray/StatusImages.h"
#include "tray/SysTray.h"
#include "tray/TrayHostWindow.h"

TrayController::TrayController(SysTray& sysTray, TrayHostWindow& window, const StatusImages& images,
    StatusLine& statusLine, MenuPopup popUpTrayMenu, DropNoticeGone dropNoticeGone)
    : m_sysTray(sysTray)
    , m_window(window)
    , m_images(images)
    , m_statusLine(statusLine)
    , m_popUpTrayMenu(std::move(popUpTrayMenu))
    , m_dropNoticeGone(std::move(dropNoticeGone))
{ }

void TrayController::cmdSysTrayClick(const QString& tip)
{
    if (m_sysTray.iconAdded())
        return;
    // Hiding the window with nowhere to show an icon would leave no way to bring it back.
    if (!m_sysTray.trayAvailable()) {
        m_statusLine.showStatus(QString::fromLatin1(StatusTexts::noSystemTray));
        return;
    }
    m_sysTray.addTrayIcon(m_window, tip);
    m_window.setWindowVisible(false);
    m_window.setWindowMinimised(true);
}

void TrayController::restore()
{
    showWindowNormal();
    m_sysTray.deleteTrayIcon();
}

void TrayController::trayEvent(int code, QPoint globalPos)
{
    if (!m_sysTray.iconAdded())
        return;
    switch (code) {
    case TrayShell::LeftButtonDoubleClick:
    case TrayShell::BalloonUserClick:
        restore();
        break;
    case TrayShell::RightButtonUp:
        if (m_popUpTrayMenu)
            m_popUpTrayMenu(globalPos);
        break;
    case TrayShell::BalloonTimeout:
        m_dropNoticeGone();
        break;
    default:
        break;
    }
}

void TrayController::trayLost()
{
    if (!m_sysTray.iconAdded())
        return;
    restore();
    m_statusLine.showStatus(QString::fromLatin1(StatusTexts::systemTrayGone));
}

void TrayController::mnShowClick()
{
    showWindowNormal();
    m_dropNoticeGone();
    m_sysTray.deleteTrayIcon();
    m_window.activateWindow();
}

void TrayController::setWindowIcon(const QString& key)
{
    if (m_images.contains(key))
        m_window.setWindowIcon(m_images.icon(key));
}

// The state goes back to normal while the window is still hidden: a window shown while minimised
// may be reported minimised again by the windowing system after its state has been cleared.
void TrayController::showWindowNormal()
{
    m_window.setWindowMinimised(false);
    m_window.setWindowVisible(true);
}
