#include "tray/StatusImages.h"

#include <QPixmap>

StatusImages::StatusImages()
{
    // The images live in the static tray library, whose resources are not registered on their own.
    Q_INIT_RESOURCE(tray_icons);
    for (const QString& key : keys())
        m_icons.insert(key, QIcon(QPixmap(QStringLiteral(":/tray/icons/%1.xpm").arg(key))));
}
