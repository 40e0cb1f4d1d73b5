#pragma once

#include <QObject>
#include <QString>

#include <optional>

class QDBusPendingCallWatcher;

// Drop notices through the desktop's notification service on the session bus, without waiting for
// it: the service's answer, the id of its notice, comes whenever it comes. One notice is open at a
// time: a new one replaces the open one, and one raised while the service has not yet answered the
// last waits for that answer, so it can replace it. The service, not a clock of ours, says when a
// notice has gone.
class DesktopNotices final : public QObject
{
    Q_OBJECT

public:
    // How long a notice is shown, and how long a service may take to answer before we stop waiting.
    static constexpr int shownMs = 3000;
    static constexpr int answerLimitMs = 60000;

    explicit DesktopNotices(QObject* parent = nullptr);

    void show(const QString& title, const QString& text);
    // Takes the open notice off the screen, or the one the service has yet to answer once it has.
    void close();

signals:
    // The user acted on the open notice.
    void clicked();
    // The open notice expired or was dismissed without being acted on.
    void closed();
    // No service took the notice; the caller may show it another way.
    void refused(const QString& title, const QString& text);

private slots:
    // The bus delivers its signals by name only, so these two stay slots.
    void onActionInvoked(uint id, const QString& actionKey);
    void onNotificationClosed(uint id, uint reason);

private:
    struct Notice
    {
        QString title;
        QString text;
    };

    void send(const Notice& notice);
    void onAnswered(QDBusPendingCallWatcher* call, const Notice& notice);
    void closeNotice(uint id);

    uint m_openId = 0;
    bool m_answerPending = false;
    bool m_closeWhenAnswered = false;
    std::optional<Notice> m_waiting;
};
