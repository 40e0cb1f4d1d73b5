#include "app/ProgramIcon.h"

#include <QDir>

namespace ProgramIcon {

// The renderings lie in the icon theme's layout, one folder per size ("48x48/apps"); the build
// decides the sizes, so they are taken from the resources rather than listed twice.
QIcon icon()
{
    const QDir theme(QStringLiteral(":/app/hicolor"));
    QIcon icon;
    for (const QString& size : theme.entryList(QDir::Dirs))
        icon.addFile(theme.filePath(size + QStringLiteral("/apps/linegauge.png")));
    return icon;
}

} // namespace ProgramIcon
