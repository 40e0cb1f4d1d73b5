#pragma once

#include <QHash>
#include <QIcon>
#include <QStringList>

// The image list of the three 16 x 16 status images the window and its tray icon show: a small
// screen on a stand, with pale bands while not monitoring, green while the line is good and red
// while it is bad.
class StatusImages
{
public:
    static inline const QString smallNormal = QStringLiteral("small_normal");
    static inline const QString smallOffline = QStringLiteral("small_offline");
    static inline const QString smallOnline = QStringLiteral("small_online");

    StatusImages();

    // The keys in the order of the list.
    static QStringList keys() { return {smallNormal, smallOffline, smallOnline}; }

    bool contains(const QString& key) const { return m_icons.contains(key); }
    // A null icon for a key the list does not hold.
    QIcon icon(const QString& key) const { return m_icons.value(key); }

private:
    QHash<QString, QIcon> m_icons;
};
