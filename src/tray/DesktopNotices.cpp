#include "tray/DesktopNotices.h"

#include "platform/SessionBus.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QStringList>
#include <QVariantMap>

#include <utility>

namespace {

const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString objectPath = QStringLiteral("/org/freedesktop/Notifications");
const QString interfaceName = QStringLiteral("org.freedesktop.Notifications");
const QString defaultAction = QStringLiteral("default");

// Critical notices stay until dismissed on most desktops, which would ignore the time we ask for.
constexpr uchar normalUrgency = 1;

bool busUsable()
{
    return SessionBus::isNamed() && QDBusConnection::sessionBus().isConnected();
}

// A service that let the notice run out of time may still show it; any other error means it showed nothing.
bool showedNothing(const QDBusError& error)
{
    return error.type() != QDBusError::NoReply && error.type() != QDBusError::Timeout;
}

} // namespace

DesktopNotices::DesktopNotices(QObject* parent)
    : QObject(parent)
{
    if (!busUsable())
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.connect(service, objectPath, interfaceName, QStringLiteral("ActionInvoked"), this,
        SLOT(onActionInvoked(uint, QString)));
    bus.connect(service, objectPath, interfaceName, QStringLiteral("NotificationClosed"), this,
        SLOT(onNotificationClosed(uint, uint)));
}

void DesktopNotices::show(const QString& title, const QString& text)
{
    if (!busUsable()) {
        emit refused(title, text);
        return;
    }
    if (m_answerPending)
        m_waiting = Notice{title, text};
    else
        send({title, text});
}

void DesktopNotices::close()
{
    m_waiting.reset();
    if (m_answerPending)
        m_closeWhenAnswered = true;
    closeNotice(m_openId);
    m_openId = 0;
}

void DesktopNotices::send(const Notice& notice)
{
    QDBusMessage call = QDBusMessage::createMethodCall(service, objectPath, interfaceName, QStringLiteral("Notify"));
    const QVariantMap hints{{QStringLiteral("urgency"), QVariant::fromValue(normalUrgency)}};
    call << QCoreApplication::applicationName() << m_openId << QStringLiteral("dialog-warning") << notice.title
         << notice.text << QStringList{defaultAction, notice.title} << hints << qint32(shownMs);
    m_answerPending = true;
    auto* pending = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call, answerLimitMs), this);
    connect(pending, &QDBusPendingCallWatcher::finished, this,
        [this, notice](QDBusPendingCallWatcher* answer) { onAnswered(answer, notice); });
}

void DesktopNotices::onAnswered(QDBusPendingCallWatcher* call, const Notice& notice)
{
    call->deleteLater();
    m_answerPending = false;
    const QDBusPendingReply<uint> reply = *call;
    if (reply.isError()) {
        if (showedNothing(reply.error()) && !m_closeWhenAnswered)
            emit refused(notice.title, notice.text);
    } else if (m_closeWhenAnswered) {
        closeNotice(reply.value());
    } else {
        m_openId = reply.value();
    }
    m_closeWhenAnswered = false;
    if (const std::optional<Notice> next = std::exchange(m_waiting, std::nullopt))
        send(*next);
}

void DesktopNotices::closeNotice(uint id)
{
    if (id == 0)
        return;
    QDBusMessage call
        = QDBusMessage::createMethodCall(service, objectPath, interfaceName, QStringLiteral("CloseNotification"));
    call << id;
    QDBusConnection::sessionBus().send(call);
}

void DesktopNotices::onActionInvoked(uint id, const QString& actionKey)
{
    // The notice stays open: whoever acts on the click closes it, and a close the service reports
    // first comes after this click.
    if (id != 0 && id == m_openId && actionKey == defaultAction)
        emit clicked();
}

void DesktopNotices::onNotificationClosed(uint id, uint reason)
{
    Q_UNUSED(reason)
    if (id == 0 || id != m_openId)
        return;
    m_openId = 0;
    emit closed();
}
