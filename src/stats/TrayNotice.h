#pragma once

#include <QtGlobal>

class QString;

// What a statistics update may do with the tray icon: it refreshes the icon and tip, and raises the
// drop balloon, only while the icon is present.
class TrayNotice
{
public:
    virtual ~TrayNotice() = default;
    virtual bool iconAdded() const = 0;
    // Shows the window's current icon with the new tip.
    virtual void modifyTrayIcon(const QString& tip) = 0;
    virtual void showBalloon(const QString& text, const QString& title, quint32 infoFlags, int timeoutMs) = 0;
};
