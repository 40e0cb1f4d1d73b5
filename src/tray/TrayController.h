#pragma once

#include "stats/TrayNotice.h"

#include <QIcon>
#include <QPoint>

#include <functional>

class StatusImages;
class StatusLine;
class TrayIcon;
class TrayWindow;

// The window's side of the tray: sending the window there, bringing it back, acting on what the
// tray reports about the icon and the drop notice, the notice switch and the window's status image.
// The tray shows at most as much of each text as the old notification area did.
class TrayController final : public TrayNotice
{
public:
    static constexpr int tipLength = 127;
    static constexpr int noticeTextLength = 255;
    static constexpr int noticeTitleLength = 63;

    // Shows the tray menu, with the window's own item as its bold default, at a screen position.
    using MenuPopup = std::function<void(QPoint globalPos)>;
    // The drop notice went unclicked, or the window came back through the tray menu.
    using DropNoticeGone = std::function<void()>;

    TrayController(TrayIcon& icon, TrayWindow& window, const StatusImages& images, StatusLine& statusLine,
        MenuPopup popUpTrayMenu, DropNoticeGone dropNoticeGone);

    // Sends the window to the tray, the icon showing the given tip.
    void sendToTray(const QString& tip);
    // The icon's own gesture or a click on the drop notice: the drop notice stays noted.
    void restore();
    // The tray menu's window item: the window comes back to the front and the next drop is noticed again.
    void restoreFromMenu();
    void showMenu(QPoint globalPos);
    // The drop notice went unclicked, so the next drop raises one again.
    void dropNoticeGone();
    // The tray went away with the icon in it: the window comes back as on restore.
    void trayLost();
    // A key the images do not hold leaves the window's icon as it is.
    void setWindowIcon(const QString& key);
    // Takes the icon away for good, whatever the window does: the program is closing.
    void removeIcon();

    bool isInTray() const override { return m_inTray; }
    void refresh(const QString& tip) override;
    void announceDrop(const QString& title, const QString& text) override;

private:
    void showWindowNormal();

    TrayIcon& m_icon;
    TrayWindow& m_window;
    const StatusImages& m_images;
    StatusLine& m_statusLine;
    MenuPopup m_popUpTrayMenu;
    DropNoticeGone m_dropNoticeGone;
    QIcon m_statusImage;
    bool m_inTray = false;
};
