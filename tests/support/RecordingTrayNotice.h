#pragma once

#include "stats/TrayNotice.h"

#include <QList>
#include <QString>
#include <QStringList>

// A tray that is present or not as the test says and keeps every refresh and balloon.
class RecordingTrayNotice final : public TrayNotice
{
public:
    struct Balloon
    {
        QString text;
        QString title;
        quint32 infoFlags;
        int timeoutMs;
    };

    bool iconAdded() const override { return added; }
    void modifyTrayIcon(const QString& tip) override { tips.append(tip); }
    void showBalloon(const QString& text, const QString& title, quint32 infoFlags, int timeoutMs) override
    {
        balloons.append({text, title, infoFlags, timeoutMs});
    }

    bool added = false;
    QStringList tips;
    QList<Balloon> balloons;
};
