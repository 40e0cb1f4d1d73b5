#pragma once

class QString;

// What a statistics update needs of the tray: while the window is in the tray, the icon shows the
// line state and the tip the latest values, and a drop is announced there.
class TrayNotice
{
public:
    virtual ~TrayNotice() = default;
    virtual bool isInTray() const = 0;
    // Shows the window's current status image with the new tip.
    virtual void refresh(const QString& tip) = 0;
    virtual void announceDrop(const QString& title, const QString& text) = 0;
};
