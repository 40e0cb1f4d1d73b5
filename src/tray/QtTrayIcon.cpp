#include "tray/QtTrayIcon.h"

#include <QCursor>
#include <QDBusConnection>
#include <QDBusServiceWatcher>

QtTrayIcon::Gesture QtTrayIcon::gestureFor(QSystemTrayIcon::ActivationReason reason, TrayHost host)
{
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        // A status tray never reports a double-click: its click is the gesture that brings a window back.
        return host == TrayHost::StatusNotifier ? Gesture::Restore : Gesture::None;
    case QSystemTrayIcon::DoubleClick:
        return Gesture::Restore;
    case QSystemTrayIcon::Context:
        return Gesture::Menu;
    case QSystemTrayIcon::MiddleClick:
    case QSystemTrayIcon::Unknown:
        break;
    }
    return Gesture::None;
}

QtTrayIcon::QtTrayIcon(QObject* parent)
    : TrayIcon(parent)
{
    m_balloonTimer.setSingleShot(true);
    m_balloonTimer.setInterval(DesktopNotices::shownMs);
    m_trayCheck.setInterval(trayCheckMs);
    connect(&m_balloonTimer, &QTimer::timeout, this, [this] { emitLater([this] { emit noticeGone(); }); });
    connect(&m_trayCheck, &QTimer::timeout, this, &QtTrayIcon::checkEmbeddingTray);
    connect(&m_notices, &DesktopNotices::clicked, this, [this] { emitLater([this] { emit noticeClicked(); }); });
    connect(&m_notices, &DesktopNotices::closed, this, [this] { emitLater([this] { emit noticeGone(); }); });
    connect(&m_notices, &DesktopNotices::refused, this, &QtTrayIcon::showBalloon);
    TrayHostCheck::ask(*this, [this](TrayHost host) { onHostKnown(host); });
}

QtTrayIcon::~QtTrayIcon() = default;

bool QtTrayIcon::isAvailable() const
{
    if (!m_trayIcon)
        return false;
    // Only the embedding tray is looked for each time: asking the toolkit about a status tray
    // would ask the bus and wait for it.
    if (m_host == TrayHost::StatusNotifier)
        return !m_statusTrayGone;
    return QSystemTrayIcon::isSystemTrayAvailable();
}

void QtTrayIcon::show(const QIcon& status, const QString& tip)
{
    if (!m_trayIcon)
        return;
    m_trayIcon->setIcon(status);
    m_trayIcon->setToolTip(tip);
    if (m_shown)
        return;
    m_trayIcon->show();
    m_shown = true;
    ++m_showSerial;
    if (m_host == TrayHost::Embedding)
        m_trayCheck.start();
}

void QtTrayIcon::hide()
{
    if (!m_shown)
        return;
    m_balloonTimer.stop();
    m_trayCheck.stop();
    m_notices.close();
    m_trayIcon->hide();
    m_shown = false;
}

void QtTrayIcon::notifyDrop(const QString& title, const QString& text)
{
    if (!m_shown)
        return;
    // Notices break lines with a bare line feed.
    QString body = text;
    body.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    m_notices.show(title, body);
}

// A status tray opens the menu the icon publishes and, when there is none, a panel menu of its
// own: it never asks for the menu. An embedding tray asks, and the window opens the menu itself.
void QtTrayIcon::setMenu(QMenu* menu)
{
    m_menu = menu;
    if (m_trayIcon && m_host == TrayHost::StatusNotifier)
        m_trayIcon->setContextMenu(menu);
}

QString QtTrayIcon::toolTip() const
{
    return m_trayIcon ? m_trayIcon->toolTip() : QString();
}

void QtTrayIcon::onHostKnown(TrayHost host)
{
    m_host = host;
    if (host == TrayHost::Unusable)
        return;
    m_trayIcon = new QSystemTrayIcon(this);
    connect(m_trayIcon, &QSystemTrayIcon::activated, this, &QtTrayIcon::onActivated);
    connect(m_trayIcon, &QSystemTrayIcon::messageClicked, this, &QtTrayIcon::onBalloonClicked);
    if (host == TrayHost::StatusNotifier)
        followStatusTray();
    setMenu(m_menu);
}

// A panel that starts again brings a new watcher, with which the toolkit registers the icon again.
void QtTrayIcon::followStatusTray()
{
    auto* watcher
        = new QDBusServiceWatcher(QStringLiteral("org.kde.StatusNotifierWatcher"), QDBusConnection::sessionBus(),
            QDBusServiceWatcher::WatchForRegistration | QDBusServiceWatcher::WatchForUnregistration, this);
    connect(watcher, &QDBusServiceWatcher::serviceRegistered, this, [this] { m_statusTrayGone = false; });
    connect(watcher, &QDBusServiceWatcher::serviceUnregistered, this, [this] {
        m_statusTrayGone = true;
        emitLater([this] { emit hostLost(); });
    });
}

void QtTrayIcon::onActivated(QSystemTrayIcon::ActivationReason reason)
{
    switch (gestureFor(reason, *m_host)) {
    case Gesture::Restore:
        emitLater([this] { emit activated(); });
        break;
    case Gesture::Menu:
        emitLater([this, at = QCursor::pos()] { emit menuRequested(at); });
        break;
    case Gesture::None:
        break;
    }
}

void QtTrayIcon::showBalloon(const QString& title, const QString& text)
{
    if (!m_shown)
        return;
    m_trayIcon->showMessage(title, text, QSystemTrayIcon::Warning, DesktopNotices::shownMs);
    m_balloonTimer.start();
}

// Qt tells only of a click on its balloon; one whose time ran out unclicked is told by our timer.
void QtTrayIcon::onBalloonClicked()
{
    if (!m_balloonTimer.isActive())
        return;
    m_balloonTimer.stop();
    emitLater([this] { emit noticeClicked(); });
}

void QtTrayIcon::checkEmbeddingTray()
{
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        emitLater([this] { emit hostLost(); });
}

// The toolkit reports from inside the icon's own handlers, where hiding the icon would pull the
// icon out from under them; the receiver hears of the event once they have returned. An event of
// an icon that has since been hidden, or hidden and shown again, means nothing any more.
void QtTrayIcon::emitLater(std::function<void()> emitSignal)
{
    if (!m_shown)
        return;
    QMetaObject::invokeMethod(
        this,
        [this, serial = m_showSerial, emitSignal = std::move(emitSignal)] {
            if (m_shown && serial == m_showSerial)
                emitSignal();
        },
        Qt::QueuedConnection);
}
