#pragma once

#include <QObject>
#include <QString>

// Notices through the desktop's notification service on the session bus. One notice is open at a
// time: a new one takes the place of the open one, and the service, not a clock of ours, says when
// it has gone.
class DesktopNotices final : public QObject
{
    Q_OBJECT

public:
    // How long the service may take to take a notice before we give up on it.
    static constexpr int replyTimeoutMs = 2000;

    explicit DesktopNotices(QObject* parent = nullptr);

    // True when a notification service runs on the session bus or the bus can start one.
    static bool isServiceAvailable();

    // False when the service did not take the notice; the caller may then show it another way.
    bool show(const QString& title, const QString& text, quint32 infoFlags, int timeoutMs);
    // Takes the open notice off the screen; nothing happens when none is open.
    void close();
    bool isOpen() const { return m_openId != 0; }

signals:
    // The user acted on the open notice.
    void clicked();
    // The open notice expired or was dismissed without being acted on.
    void closed();

private slots:
    // The bus delivers its signals by name only, so these two stay slots.
    void onActionInvoked(uint id, const QString& actionKey);
    void onNotificationClosed(uint id, uint reason);

private:
    uint m_openId = 0;
};
