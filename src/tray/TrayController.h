#pragma once

#include <QPoint>
#include <QString>

#include <functional>

class StatusImages;
class StatusLine;
class SysTray;
class TrayHostWindow;

// The window's side of the tray: sending the window there, bringing it back, acting on what the
// shell reports about the icon, the balloon switch and the status image of the window.
class TrayController
{
public:
    // Shows the tray menu (mnSysTray, with mnShow as its bold default item) at a screen position.
    using MenuPopup = std::function<void(QPoint globalPos)>;
    // The drop balloon timed out, or the window came back through the tray menu.
    using DropNoticeGone = std::function<void()>;

    TrayController(SysTray& sysTray, TrayHostWindow& window, const StatusImages& images, StatusLine& statusLine,
        MenuPopup popUpTrayMenu, DropNoticeGone dropNoticeGone);

    // Sends the window to the tray, the icon showing the given tip.
    void cmdSysTrayClick(const QString& tip);
    void restore();
    // The shell's report about the icon; ignored unless the window is in the tray.
    void trayEvent(int code, QPoint globalPos);
    // The notification area went away with the icon in it: the window comes back as on Restore.
    void trayLost();
    void mnShowClick();
    // A key the image list does not hold leaves the window's icon as it is.
    void setWindowIcon(const QString& key);

private:
    void showWindowNormal();

    SysTray& m_sysTray;
    TrayHostWindow& m_window;
    const StatusImages& m_images;
    StatusLine& m_statusLine;
    MenuPopup m_popUpTrayMenu;
    DropNoticeGone m_dropNoticeGone;
};
