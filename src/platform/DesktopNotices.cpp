#include "platform/DesktopNotices.h"

#include "platform/SessionBus.h"
#include "platform/TrayShell.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QStringList>
#include <QVariantMap>

namespace {

const QString service = QStringLiteral("org.freedesktop.Notifications");
const QString objectPath = QStringLiteral("/org/freedesktop/Notifications");
const QString interfaceName = QStringLiteral("org.freedesktop.Notifications");
const QString defaultAction = QStringLiteral("default");

enum Urgency : uchar
{
    Low = 0,
    Normal = 1,
    Critical = 2,
};

QString iconNameFor(quint32 infoFlags)
{
    switch (infoFlags & TrayShell::NiifIconMask) {
    case TrayShell::NiifInfo:
        return QStringLiteral("dialog-information");
    case TrayShell::NiifWarning:
        return QStringLiteral("dialog-warning");
    case TrayShell::NiifError:
        return QStringLiteral("dialog-error");
    default:
        return {};
    }
}

// Critical notices stay until dismissed on most desktops, which would ignore the time the caller
// asked for; every other kind of notice expires on time.
Urgency urgencyFor(quint32 infoFlags)
{
    return (infoFlags & TrayShell::NiifIconMask) == TrayShell::NiifError ? Critical : Normal;
}

} // namespace

DesktopNotices::DesktopNotices(QObject* parent)
    : QObject(parent)
{
    if (!SessionBus::isNamed())
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    bus.connect(service, objectPath, interfaceName, QStringLiteral("ActionInvoked"), this,
        SLOT(onActionInvoked(uint, QString)));
    bus.connect(service, objectPath, interfaceName, QStringLiteral("NotificationClosed"), this,
        SLOT(onNotificationClosed(uint, uint)));
}

bool DesktopNotices::isServiceAvailable()
{
    if (!SessionBus::isNamed())
        return false;
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    const QDBusConnectionInterface* daemon = bus.interface();
    return daemon->isServiceRegistered(service) || daemon->activatableServiceNames().value().contains(service);
}

bool DesktopNotices::show(const QString& title, const QString& text, quint32 infoFlags, int timeoutMs)
{
    QDBusMessage call = QDBusMessage::createMethodCall(service, objectPath, interfaceName, QStringLiteral("Notify"));
    const QVariantMap hints{{QStringLiteral("urgency"), QVariant::fromValue(uchar(urgencyFor(infoFlags)))}};
    // Notices break lines with a bare line feed.
    QString body = text;
    body.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    call << QCoreApplication::applicationName() << m_openId << iconNameFor(infoFlags) << title << body
         << QStringList{defaultAction, title} << hints << qint32(timeoutMs);
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, replyTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return false;
    m_openId = reply.arguments().constFirst().toUInt();
    return m_openId != 0;
}

void DesktopNotices::close()
{
    if (m_openId == 0)
        return;
    QDBusMessage call
        = QDBusMessage::createMethodCall(service, objectPath, interfaceName, QStringLiteral("CloseNotification"));
    call << m_openId;
    m_openId = 0;
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
