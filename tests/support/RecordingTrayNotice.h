#pragma once

#include "stats/TrayNotice.h"
#include "support/RecordingTrayIcon.h"

#include <QStringList>

// A tray that holds the window or not as the test says and keeps every refresh and drop notice.
class RecordingTrayNotice final : public TrayNotice
{
public:
    using Notice = RecordingTrayIcon::Notice;

    bool isInTray() const override { return inTray; }
    void refresh(const QString& tip) override { tips.append(tip); }
    void announceDrop(const QString& title, const QString& text) override { notices.append({title, text}); }

    bool inTray = false;
    QStringList tips;
    QList<Notice> notices;
};
