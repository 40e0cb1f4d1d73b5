#pragma once

#include "platform/TrayRecordLayout.h"

#include <QByteArrayView>
#include <QObject>
#include <QPoint>

class QMenu;

// The shell's notification-area service: one call taking the flavour, an operation code and the
// notify-icon record's bytes (see TrayRecordLayout). The shell reads only as far as the record's
// announced size and keeps none of the bytes after the call. Activity on the icon comes back
// through trayEvent() as the codes of the platform's mouse and balloon messages.
class TrayShell : public QObject
{
    Q_OBJECT

public:
    enum Operation : quint32
    {
        NimAdd = 0,
        NimModify = 1,
        NimDelete = 2,
        NimSetVersion = 4,
    };

    enum Flag : quint32
    {
        NifMessage = 0x1,
        NifIcon = 0x2,
        NifTip = 0x4,
        NifInfo = 0x10,
    };

    enum InfoFlag : quint32
    {
        NiifNone = 0,
        NiifInfo = 1,
        NiifWarning = 2,
        NiifError = 3,
        NiifIconMask = 0xF,
    };

    enum Event : int
    {
        LeftButtonUp = 0x202,
        LeftButtonDoubleClick = 0x203,
        RightButtonUp = 0x205,
        MiddleButtonUp = 0x208,
        BalloonTimeout = 0x404,
        BalloonUserClick = 0x405,
    };

    static constexpr quint32 notifyIconVersion = 3;
    static constexpr quint32 mouseMoveMessage = 0x200;

    using QObject::QObject;

    // True when the shell accepted the request. Callers are free to ignore it.
    virtual bool notifyIcon(TrayFlavour flavour, quint32 operation, QByteArrayView record) = 0;

    // False where the desktop has no notification area to put an icon in.
    virtual bool isTrayAvailable() const = 0;

    // The tray menu, for notification areas that draw an icon's menu themselves and open it on a
    // right-click instead of reporting the click. Elsewhere the window shows the menu on RightButtonUp.
    virtual void setHostDrawnMenu(QMenu* menu) { Q_UNUSED(menu) }

signals:
    // code is one of Event (others may come and mean nothing); globalPos is the mouse position.
    void trayEvent(int code, QPoint globalPos);
    // The notification area holding the icon went away (its panel ended); the icon is gone with it.
    void trayLost();
};
