#include "tray/TrayController.h"

#include "platform/TrayShell.h"
#include "stats/AppState.h"
#include "stats/StatusLine.h"
#include "stats/StatusTexts.h"
#include "tray/StatusImages.h"
#include "tray/SysTray.h"
#include "tray/TrayHostWindow.h"

int TrayController::checkBoxValue(Qt::CheckState state)
{
    switch (state) {
    case Qt::Checked:
        return ticked;
    case Qt::PartiallyChecked:
        return greyed;
    case Qt::Unchecked:
        break;
    }
    return unticked;
}

TrayController::TrayController(SysTray& sysTray, TrayHostWindow& window, const StatusImages& images, AppState& state,
    StatusLine& statusLine, MenuPopup popUpTrayMenu)
    : m_sysTray(sysTray)
    , m_window(window)
    , m_images(images)
    , m_state(state)
    , m_statusLine(statusLine)
    , m_popUpTrayMenu(std::move(popUpTrayMenu))
{ }

void TrayController::cmdSysTrayClick()
{
    if (m_sysTray.iconAdded())
        return;
    // Hiding the window with nowhere to show an icon would leave no way to bring it back.
    if (!m_sysTray.trayAvailable()) {
        m_statusLine.showStatus(QString::fromLatin1(StatusTexts::noSystemTray));
        return;
    }
    m_sysTray.addTrayIcon(m_window, m_state.trayTip);
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
        m_state.dropNotified = false;
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
    m_state.dropNotified = false;
    m_sysTray.deleteTrayIcon();
    m_window.activateWindow();
}

void TrayController::chkUseBalloonsClick(int value)
{
    m_state.useBalloons = value == ticked;
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
