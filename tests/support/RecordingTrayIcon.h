#pragma once

#include "tray/TrayIcon.h"

#include <QIcon>
#include <QList>
#include <QString>

// A tray icon that is available or not as the test says and keeps what it was asked to show.
class RecordingTrayIcon final : public TrayIcon
{
public:
    struct Shown
    {
        QIcon status;
        QString tip;
    };
    struct Notice
    {
        QString title;
        QString text;
    };

    bool isAvailable() const override { return available; }
    void show(const QIcon& status, const QString& tip) override
    {
        shown = true;
        shows.append({status, tip});
    }
    void hide() override
    {
        shown = false;
        ++hides;
    }
    void notifyDrop(const QString& title, const QString& text) override { notices.append({title, text}); }
    void setMenu(QMenu* /*trayMenu*/) override { }

    bool available = true;
    bool shown = false;
    QList<Shown> shows;
    int hides = 0;
    QList<Notice> notices;
};
