#include "tray/SysTrayNotice.h"

#include "tray/SysTray.h"

SysTrayNotice::SysTrayNotice(SysTray& sysTray, const TrayWindow& window)
    : m_sysTray(sysTray)
    , m_window(window)
{ }

bool SysTrayNotice::iconAdded() const
{
    return m_sysTray.iconAdded();
}

void SysTrayNotice::modifyTrayIcon(const QString& tip)
{
    m_sysTray.modifyTrayIcon(m_window, tip);
}

void SysTrayNotice::showBalloon(const QString& text, const QString& title, quint32 infoFlags, int timeoutMs)
{
    m_sysTray.showBalloon(text, title, infoFlags, timeoutMs);
}
