#pragma once

#include <QObject>
#include <QPoint>

class QIcon;
class QMenu;
class QString;

// The program's one icon in the desktop's tray, shown while the window is in the tray, with its
// drop notice. Its signals come only while the icon shows, and only after the desktop's own
// handling of the event has ended, so a receiver may hide the icon from inside any of them.
class TrayIcon : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // False where the desktop offers no tray to show the icon in, or has not said yet whether it does.
    virtual bool isAvailable() const = 0;
    // Shows the icon with that status image and tip, or changes both while it shows.
    virtual void show(const QIcon& status, const QString& tip) = 0;
    // Takes the icon away, and with it a drop notice that is still open.
    virtual void hide() = 0;
    // Raises the drop notice in place of one that is still open; nothing while the icon is hidden.
    virtual void notifyDrop(const QString& title, const QString& text) = 0;
    // The tray menu, for trays that draw an icon's menu themselves instead of asking for it.
    virtual void setMenu(QMenu* menu) = 0;

signals:
    // The gesture that brings a window back on this kind of tray.
    void activated();
    void menuRequested(QPoint globalPos);
    void noticeClicked();
    // The drop notice expired or was dismissed without being acted on.
    void noticeGone();
    // The tray went away with the icon in it.
    void hostLost();
};
