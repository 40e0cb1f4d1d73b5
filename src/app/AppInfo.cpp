#include "app/AppInfo.h"

namespace AppInfo {

QString versionText()
{
    return QStringLiteral("%1.%2.%3")
        .arg(LINEGAUGE_VERSION_MAJOR)
        .arg(LINEGAUGE_VERSION_MINOR)
        .arg(LINEGAUGE_VERSION_REVISION);
}

QString windowCaption()
{
    return QStringLiteral("Linegauge by Orvell - ") + versionText();
}

} // namespace AppInfo
