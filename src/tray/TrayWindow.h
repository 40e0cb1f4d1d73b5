#pragma once

class QIcon;

// The main window as the tray handling sees it: shown or hidden, minimised or normal, its icon,
// and bringing it to the front.
class TrayWindow
{
public:
    virtual ~TrayWindow() = default;
    virtual void setWindowVisible(bool visible) = 0;
    virtual void setWindowMinimised(bool minimised) = 0;
    virtual void setWindowIcon(const QIcon& icon) = 0;
    // Raises the window and gives it the keyboard focus.
    virtual void activateWindow() = 0;
};
