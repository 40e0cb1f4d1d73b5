#pragma once

#include "stats/TrayNotice.h"

class SysTray;
class TrayWindow;

// Lets a statistics update drive the tray icon of the main window without knowing the window.
class SysTrayNotice final : public TrayNotice
{
public:
    SysTrayNotice(SysTray& sysTray, const TrayWindow& window);

    bool iconAdded() const override;
    void modifyTrayIcon(const QString& tip) override;
    void showBalloon(const QString& text, const QString& title, quint32 infoFlags, int timeoutMs) override;

private:
    SysTray& m_sysTray;
    const TrayWindow& m_window;
};
