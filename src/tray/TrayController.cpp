#include "tray/TrayController.h"

#include "stats/StatusLine.h"
#include "stats/StatusTexts.h"
#include "tray/StatusImages.h"
#include "tray/TrayIcon.h"
#include "tray/TrayWindow.h"

TrayController::TrayController(TrayIcon& icon, TrayWindow& window, const StatusImages& images, StatusLine& statusLine,
    MenuPopup popUpTrayMenu, DropNoticeGone dropNoticeGone)
    : m_icon(icon)
    , m_window(window)
    , m_images(images)
    , m_statusLine(statusLine)
    , m_popUpTrayMenu(std::move(popUpTrayMenu))
    , m_dropNoticeGone(std::move(dropNoticeGone))
{ }

void TrayController::sendToTray(const QString& tip)
{
    if (m_inTray)
        return;
    // Hiding the window with nowhere to show an icon would leave no way to bring it back.
    if (!m_icon.isAvailable()) {
        m_statusLine.showStatus(QString::fromLatin1(StatusTexts::noSystemTray));
        return;
    }
    m_icon.show(m_statusImage, tip.left(tipLength));
    m_inTray = true;
    m_window.setWindowVisible(false);
    m_window.setWindowMinimised(true);
}

void TrayController::restore()
{
    if (!m_inTray)
        return;
    showWindowNormal();
    removeIcon();
}

void TrayController::restoreFromMenu()
{
    showWindowNormal();
    m_dropNoticeGone();
    removeIcon();
    m_window.activateWindow();
}

void TrayController::showMenu(QPoint globalPos)
{
    if (m_inTray && m_popUpTrayMenu)
        m_popUpTrayMenu(globalPos);
}

void TrayController::dropNoticeGone()
{
    if (m_inTray)
        m_dropNoticeGone();
}

void TrayController::trayLost()
{
    if (!m_inTray)
        return;
    restore();
    m_statusLine.showStatus(QString::fromLatin1(StatusTexts::systemTrayGone));
}

void TrayController::setWindowIcon(const QString& key)
{
    if (!m_images.contains(key))
        return;
    m_statusImage = m_images.icon(key);
    m_window.setWindowIcon(m_statusImage);
}

void TrayController::refresh(const QString& tip)
{
    if (m_inTray)
        m_icon.show(m_statusImage, tip.left(tipLength));
}

void TrayController::announceDrop(const QString& title, const QString& text)
{
    if (m_inTray)
        m_icon.notifyDrop(title.left(noticeTitleLength), text.left(noticeTextLength));
}

// The state goes back to normal while the window is still hidden: a window shown while minimised
// may be reported minimised again by the windowing system after its state has been cleared.
void TrayController::showWindowNormal()
{
    m_window.setWindowMinimised(false);
    m_window.setWindowVisible(true);
}

void TrayController::removeIcon()
{
    m_icon.hide();
    m_inTray = false;
}
