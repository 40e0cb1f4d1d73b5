#include "platform/QtTrayShell.h"

#include "platform/AnsiCodec.h"
#include "platform/IconRegistry.h"
#include "platform/SessionBus.h"

#include <QCursor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusServiceWatcher>
#include <QPixmap>
#include <QtEndian>

#include <algorithm>

namespace {

quint32 readLong(QByteArrayView record, int offset)
{
    return qFromLittleEndian<quint32>(record.data() + offset);
}

// The shell stops at the first NUL and never reads past the field, terminated or not.
QString readText(TrayFlavour flavour, QByteArrayView record, int offset, int chars)
{
    const QByteArrayView field = record.sliced(offset, qsizetype(chars) * TrayRecordLayout::of(flavour).charBytes);
    if (flavour == TrayFlavour::Ansi) {
        const qsizetype nul = field.indexOf('\0');
        return AnsiCodec::decode(nul < 0 ? field : field.first(nul));
    }
    QString text;
    for (int i = 0; i < chars; ++i) {
        const char16_t unit = qFromLittleEndian<quint16>(field.data() + 2 * qsizetype(i));
        if (unit == 0)
            break;
        text.append(QChar(unit));
    }
    return text;
}

QSystemTrayIcon::MessageIcon messageIconFor(quint32 infoFlags)
{
    switch (infoFlags & TrayShell::NiifIconMask) {
    case TrayShell::NiifInfo:
        return QSystemTrayIcon::Information;
    case TrayShell::NiifWarning:
        return QSystemTrayIcon::Warning;
    case TrayShell::NiifError:
        return QSystemTrayIcon::Critical;
    default:
        return QSystemTrayIcon::NoIcon;
    }
}

const QString statusNotifierWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");

// The toolkit draws its icon through a status notifier host whenever one is registered with the
// watcher when the icon is made; the same test tells which kind of host delivers our clicks.
QtTrayShell::HostKind hostOnSessionBus()
{
    if (!SessionBus::isNamed())
        return QtTrayShell::HostKind::Embedding;
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface()->isServiceRegistered(statusNotifierWatcher))
        return QtTrayShell::HostKind::Embedding;
    const QDBusInterface watcher(
        statusNotifierWatcher, QStringLiteral("/StatusNotifierWatcher"), statusNotifierWatcher, bus);
    return watcher.property("IsStatusNotifierHostRegistered").toBool() ? QtTrayShell::HostKind::StatusNotifier
                                                                       : QtTrayShell::HostKind::Embedding;
}

int balloonMs(quint32 timeout)
{
    if (timeout == 0)
        return QtTrayShell::defaultBalloonMs;
    return int(std::clamp<quint32>(timeout, QtTrayShell::minimumBalloonMs, QtTrayShell::maximumBalloonMs));
}

} // namespace

std::optional<QtTrayShell::Fields> QtTrayShell::decode(TrayFlavour flavour, QByteArrayView record)
{
    const TrayRecordLayout layout = TrayRecordLayout::of(flavour);
    if (record.size() < 4)
        return std::nullopt;
    Fields fields;
    fields.size = readLong(record, TrayRecordLayout::cbSize);
    const bool full = fields.size == quint32(layout.fullSize());
    if ((!full && fields.size != quint32(layout.oldSize())) || record.size() < qsizetype(fields.size))
        return std::nullopt;
    fields.hWnd = readLong(record, TrayRecordLayout::hWnd);
    fields.uID = readLong(record, TrayRecordLayout::uID);
    fields.uFlags = readLong(record, TrayRecordLayout::uFlags);
    fields.uCallbackMessage = readLong(record, TrayRecordLayout::uCallbackMessage);
    fields.hIcon = readLong(record, TrayRecordLayout::hIcon);
    fields.tip = readText(
        flavour, record, TrayRecordLayout::szTip, full ? TrayRecordLayout::tipChars : TrayRecordLayout::oldTipChars);
    fields.hasBalloonPart = full;
    if (full) {
        fields.info = readText(flavour, record, layout.szInfo(), TrayRecordLayout::infoChars);
        fields.uTimeoutOrVersion = readLong(record, layout.uTimeout());
        fields.infoTitle = readText(flavour, record, layout.szInfoTitle(), TrayRecordLayout::infoTitleChars);
        fields.dwInfoFlags = readLong(record, layout.dwInfoFlags());
    }
    return fields;
}

int QtTrayShell::eventFor(QSystemTrayIcon::ActivationReason reason, HostKind host)
{
    switch (reason) {
    case QSystemTrayIcon::Trigger:
        // Such a host never reports a double-click: its click is the gesture that brings a window back.
        return host == HostKind::StatusNotifier ? LeftButtonDoubleClick : LeftButtonUp;
    case QSystemTrayIcon::DoubleClick:
        return LeftButtonDoubleClick;
    case QSystemTrayIcon::Context:
        return RightButtonUp;
    case QSystemTrayIcon::MiddleClick:
        return MiddleButtonUp;
    case QSystemTrayIcon::Unknown:
        break;
    }
    return 0;
}

// The host is read before the toolkit's icon is made, as the toolkit reads it for that icon.
QtTrayShell::QtTrayShell(const IconRegistry& icons, QObject* parent)
    : TrayShell(parent)
    , m_icons(icons)
    , m_hostKind(hostOnSessionBus())
{
    m_balloonTimer.setSingleShot(true);
    m_trayCheck.setInterval(trayCheckMs);

    connect(&m_trayIcon, &QSystemTrayIcon::activated, this, &QtTrayShell::onActivated);
    connect(&m_trayIcon, &QSystemTrayIcon::messageClicked, this, &QtTrayShell::onMessageClicked);
    connect(&m_balloonTimer, &QTimer::timeout, this, &QtTrayShell::onBalloonTimeout);
    connect(&m_notices, &DesktopNotices::clicked, this, [this] { emitEvent(BalloonUserClick); });
    connect(&m_notices, &DesktopNotices::closed, this, [this] { emitEvent(BalloonTimeout); });
    if (m_hostKind == HostKind::StatusNotifier) {
        auto* watcher = new QDBusServiceWatcher(
            statusNotifierWatcher, QDBusConnection::sessionBus(), QDBusServiceWatcher::WatchForUnregistration, this);
        connect(watcher, &QDBusServiceWatcher::serviceUnregistered, this, &QtTrayShell::onStatusNotifierHostGone);
    } else {
        connect(&m_trayCheck, &QTimer::timeout, this, &QtTrayShell::checkEmbeddingTray);
    }
}

bool QtTrayShell::notifyIcon(TrayFlavour flavour, quint32 operation, QByteArrayView record)
{
    const std::optional<Fields> fields = decode(flavour, record);
    if (!fields)
        return false;
    switch (operation) {
    case NimAdd:
        return add(*fields);
    case NimModify:
        return modify(*fields);
    case NimDelete:
        return remove();
    case NimSetVersion:
        return setVersion(*fields);
    default:
        return false;
    }
}

bool QtTrayShell::isTrayAvailable() const
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

// A status notifier host opens the menu the item publishes and, when there is none, its own
// panel menu: it never reports the right-click. An embedding tray reports it and the window opens
// the menu itself.
void QtTrayShell::setHostDrawnMenu(QMenu* menu)
{
    if (m_hostKind == HostKind::StatusNotifier)
        m_trayIcon.setContextMenu(menu);
}

bool QtTrayShell::add(const Fields& fields)
{
    if (m_present)
        return false;
    m_callbacks = (fields.uFlags & NifMessage) != 0;
    m_version = 0;
    // The shell shows an icon slot even when the record names no icon; an empty one could not be seen.
    if (!(fields.uFlags & NifIcon))
        m_trayIcon.setIcon(iconFor(0));
    applyIconAndTip(fields);
    m_trayIcon.show();
    m_present = true;
    ++m_iconSerial;
    if (m_hostKind == HostKind::Embedding)
        m_trayCheck.start();
    if (fields.uFlags & NifInfo)
        showBalloon(fields);
    return true;
}

bool QtTrayShell::modify(const Fields& fields)
{
    if (!m_present)
        return false;
    if (fields.uFlags & NifMessage)
        m_callbacks = true;
    applyIconAndTip(fields);
    if (fields.uFlags & NifInfo)
        showBalloon(fields);
    return true;
}

bool QtTrayShell::remove()
{
    if (!m_present)
        return false;
    m_balloonTimer.stop();
    m_trayCheck.stop();
    m_notices.close();
    m_trayIcon.hide();
    m_present = false;
    m_callbacks = false;
    return true;
}

bool QtTrayShell::setVersion(const Fields& fields)
{
    if (!m_present || !fields.hasBalloonPart)
        return false;
    m_version = fields.uTimeoutOrVersion;
    return true;
}

void QtTrayShell::applyIconAndTip(const Fields& fields)
{
    if (fields.uFlags & NifIcon)
        m_trayIcon.setIcon(iconFor(fields.hIcon));
    if (fields.uFlags & NifTip)
        m_trayIcon.setToolTip(fields.tip);
}

void QtTrayShell::showBalloon(const Fields& fields)
{
    if (!fields.hasBalloonPart)
        return;
    const int shownMs = balloonMs(fields.uTimeoutOrVersion);
    if (DesktopNotices::isServiceAvailable()
        && m_notices.show(fields.infoTitle, fields.info, fields.dwInfoFlags, shownMs)) {
        m_balloonTimer.stop();
        return;
    }
    m_trayIcon.showMessage(fields.infoTitle, fields.info, messageIconFor(fields.dwInfoFlags), shownMs);
    m_balloonTimer.start(shownMs);
}

QIcon QtTrayShell::iconFor(quint32 handle) const
{
    QIcon icon = m_icons.icon(handle);
    if (!icon.isNull())
        return icon;
    QPixmap blank(16, 16);
    blank.fill(Qt::lightGray);
    return QIcon(blank);
}

void QtTrayShell::onActivated(QSystemTrayIcon::ActivationReason reason)
{
    const int code = eventFor(reason, m_hostKind);
    if (code != 0)
        emitEvent(code);
}

void QtTrayShell::onMessageClicked()
{
    if (!m_balloonTimer.isActive())
        return;
    m_balloonTimer.stop();
    emitEvent(BalloonUserClick);
}

// Qt tells only of a click; a balloon whose time ran out unclicked is reported here instead.
void QtTrayShell::onBalloonTimeout()
{
    emitEvent(BalloonTimeout);
}

void QtTrayShell::onStatusNotifierHostGone()
{
    if (m_present)
        emit trayLost();
}

void QtTrayShell::checkEmbeddingTray()
{
    if (m_present && !QSystemTrayIcon::isSystemTrayAvailable())
        emit trayLost();
}

// The toolkit reports from inside the icon's own handlers, where hiding the icon would pull the
// icon out from under them; the window hears of the event once they have returned.
void QtTrayShell::emitEvent(int code)
{
    if (!m_present || !m_callbacks)
        return;
    const QPoint globalPos = QCursor::pos();
    const quint64 iconSerial = m_iconSerial;
    QMetaObject::invokeMethod(
        this, [this, code, globalPos, iconSerial] { deliverEvent(code, globalPos, iconSerial); }, Qt::QueuedConnection);
}

// An event of an icon that has since been taken away, or replaced, means nothing any more.
void QtTrayShell::deliverEvent(int code, QPoint globalPos, quint64 iconSerial)
{
    if (m_present && m_callbacks && iconSerial == m_iconSerial)
        emit trayEvent(code, globalPos);
}
