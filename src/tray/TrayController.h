#pragma once

#include <QPoint>
#include <QString>

#include <functional>

struct AppState;
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

    // The check box values the balloon switch sees: 1 is ticked, as the box reports it.
    static constexpr int unticked = 0;
    static constexpr int ticked = 1;
    static constexpr int greyed = 2;
    static int checkBoxValue(Qt::CheckState state);

    TrayController(SysTray& sysTray, TrayHostWindow& window, const StatusImages& images, AppState& state,
        StatusLine& statusLine, MenuPopup popUpTrayMenu);

    void cmdSysTrayClick();
    void restore();
    // The shell's report about the icon; ignored unless the window is in the tray.
    void trayEvent(int code, QPoint globalPos);
    // The notification area went away with the icon in it: the window comes back as on Restore.
    void trayLost();
    void mnShowClick();
    void chkUseBalloonsClick(int value);
    // A key the image list does not hold leaves the window's icon as it is.
    void setWindowIcon(const QString& key);

private:
    void showWindowNormal();

    SysTray& m_sysTray;
    TrayHostWindow& m_window;
    const StatusImages& m_images;
    AppState& m_state;
    StatusLine& m_statusLine;
    MenuPopup m_popUpTrayMenu;
};
