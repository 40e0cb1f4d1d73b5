#include "platform/SessionBus.h"

#include <QDir>
#include <QFileInfo>

bool SessionBus::isNamed()
{
    if (qEnvironmentVariableIsSet("DBUS_SESSION_BUS_ADDRESS"))
        return true;
    // A user bus of the session manager sits at a fixed place in the runtime folder.
    const QString runtimeFolder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtimeFolder.isEmpty() && QFileInfo(QDir(runtimeFolder).filePath(QStringLiteral("bus"))).exists();
}
