#include "tray/TrayHost.h"

#include "platform/SessionBus.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

namespace {

const QString watcherService = QStringLiteral("org.kde.StatusNotifierWatcher");

// No watcher on the bus, or one that refuses the question, means no status tray; one that lets
// the question run out of time is not to be asked again, by us or by the toolkit.
TrayHost hostFor(const QDBusPendingReply<QDBusVariant>& reply)
{
    if (!reply.isError())
        return reply.value().variant().toBool() ? TrayHost::StatusNotifier : TrayHost::Embedding;
    const QDBusError::ErrorType error = reply.error().type();
    return error == QDBusError::NoReply || error == QDBusError::Timeout ? TrayHost::Unusable : TrayHost::Embedding;
}

} // namespace

void TrayHostCheck::ask(QObject& context, std::function<void(TrayHost)> answered)
{
    if (!SessionBus::isNamed() || !QDBusConnection::sessionBus().isConnected()) {
        answered(TrayHost::Embedding);
        return;
    }
    QDBusMessage question = QDBusMessage::createMethodCall(watcherService, QStringLiteral("/StatusNotifierWatcher"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    question << watcherService << QStringLiteral("IsStatusNotifierHostRegistered");
    // A watcher that is not running is no tray; the bus must not start one for this question.
    question.setAutoStartService(false);
    auto* pending
        = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(question, answerLimitMs), &context);
    QObject::connect(pending, &QDBusPendingCallWatcher::finished, &context,
        [answered = std::move(answered)](QDBusPendingCallWatcher* call) {
            call->deleteLater();
            answered(hostFor(*call));
        });
}
