#pragma once

#include <QHash>
#include <QIcon>

// Hands out 32-bit handles for icons, as the notify-icon record carries them, and turns a handle
// back into its icon. The same icon always gets the same handle, so a run that switches between a
// few status images keeps a few entries however long it lasts. Handle 0 means no icon.
class IconRegistry
{
public:
    quint32 handleFor(const QIcon& icon);
    QIcon icon(quint32 handle) const;

private:
    QHash<qint64, quint32> m_handlesByKey;
    QHash<quint32, QIcon> m_iconsByHandle;
    quint32 m_nextHandle = 0x10001;
};
