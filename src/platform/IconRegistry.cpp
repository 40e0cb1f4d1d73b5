#include "platform/IconRegistry.h"

quint32 IconRegistry::handleFor(const QIcon& icon)
{
    if (icon.isNull())
        return 0;
    const auto known = m_handlesByKey.constFind(icon.cacheKey());
    if (known != m_handlesByKey.constEnd())
        return known.value();
    const quint32 handle = m_nextHandle++;
    m_handlesByKey.insert(icon.cacheKey(), handle);
    m_iconsByHandle.insert(handle, icon);
    return handle;
}

QIcon IconRegistry::icon(quint32 handle) const
{
    return m_iconsByHandle.value(handle);
}
