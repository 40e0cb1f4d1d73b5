#include "tray/StatusImages.h"

#include "platform/DeferredIcon.h"

#include <QPixmap>

StatusImages::StatusImages()
{
    // The images live in the static tray library, whose resources are not registered on their own.
    Q_INIT_RESOURCE(tray_icons);
    // Each picture is decoded when first shown: the window shows one at start, the tray the others
    // only once monitoring or in the tray.
    for (const QString& key : keys()) {
        const QString path = QStringLiteral(":/tray/icons/%1.xpm").arg(key);
        m_icons.insert(key, DeferredIcon::make([path] { return QIcon(QPixmap(path)); }));
    }
}
