#include "app/ProgramIcon.h"

#include "platform/DeferredIcon.h"

#include <QDir>

#include <algorithm>

namespace {

// The renderings lie in the icon theme's layout, one folder per size ("48x48/apps"); the build
// decides the sizes, so they are taken from the resources rather than listed twice, smallest first.
QIcon readRenderings()
{
    const QDir theme(QStringLiteral(":/app/hicolor"));
    QList<int> sizes;
    for (const QString& folder : theme.entryList(QDir::Dirs))
        sizes.append(folder.section(u'x', 0, 0).toInt());
    std::sort(sizes.begin(), sizes.end());
    QIcon icon;
    for (int size : sizes)
        icon.addFile(theme.filePath(QStringLiteral("%1x%1/apps/linegauge.png").arg(size)), QSize(size, size));
    return icon;
}

} // namespace

namespace ProgramIcon {

QIcon icon()
{
    // Some desktops never ask for the window's icon: Wayland takes it from the theme by the desktop
    // file's name.
    return DeferredIcon::make(readRenderings);
}

} // namespace ProgramIcon
