#pragma once

#include "platform/DesktopNotices.h"
#include "platform/TrayShell.h"

#include <QString>
#include <QSystemTrayIcon>
#include <QTimer>

#include <optional>

class IconRegistry;

// The notification area through QSystemTrayIcon. It reads a notify-icon record as the shell does:
// only the fields inside the announced size, texts up to their NUL or the end of their field,
// icons through the handles of an IconRegistry. Balloons become notices of the desktop's
// notification service where there is one. Events reach the window only after the toolkit's own
// handler has returned, so the window may take the icon away from inside any of them.
class QtTrayShell final : public TrayShell
{
    Q_OBJECT

public:
    // The fields of one record as far as its announced size reaches.
    struct Fields
    {
        quint32 size = 0;
        quint32 hWnd = 0;
        quint32 uID = 0;
        quint32 uFlags = 0;
        quint32 uCallbackMessage = 0;
        quint32 hIcon = 0;
        QString tip;
        bool hasBalloonPart = false; // false for the old layout, which ends after the tip
        QString info;
        quint32 uTimeoutOrVersion = 0;
        QString infoTitle;
        quint32 dwInfoFlags = 0;
    };

    // Nothing when the announced size is not one of the flavour's two layouts or the bytes are fewer.
    static std::optional<Fields> decode(TrayFlavour flavour, QByteArrayView record);

    // A balloon shows at least this long and at most the maximum, whatever the record asks.
    static constexpr int minimumBalloonMs = 1000;
    static constexpr int maximumBalloonMs = 60000;
    static constexpr int defaultBalloonMs = 10000;
    // How often an icon in an embedding tray checks that the tray is still there.
    static constexpr int trayCheckMs = 1000;

    // The two kinds of notification area a Linux desktop runs: a panel that embeds the icon's
    // window, or a host on the session bus that draws the icon itself and sends one call per click.
    enum class HostKind
    {
        Embedding,
        StatusNotifier,
    };

    // The event code a tray activation stands for on a host of that kind; 0 for none.
    static int eventFor(QSystemTrayIcon::ActivationReason reason, HostKind host);

    explicit QtTrayShell(const IconRegistry& icons, QObject* parent = nullptr);

    bool notifyIcon(TrayFlavour flavour, quint32 operation, QByteArrayView record) override;
    bool isTrayAvailable() const override;
    void setHostDrawnMenu(QMenu* menu) override;

    bool isIconShown() const { return m_present; }
    QString toolTip() const { return m_trayIcon.toolTip(); }
    QRect iconGeometry() const { return m_trayIcon.geometry(); }
    HostKind hostKind() const { return m_hostKind; }

private:
    bool add(const Fields& fields);
    bool modify(const Fields& fields);
    bool remove();
    bool setVersion(const Fields& fields);
    void applyIconAndTip(const Fields& fields);
    void showBalloon(const Fields& fields);
    QIcon iconFor(quint32 handle) const;

    void onActivated(QSystemTrayIcon::ActivationReason reason);
    void onMessageClicked();
    void onBalloonTimeout();
    void onStatusNotifierHostGone();
    void checkEmbeddingTray();
    void emitEvent(int code);
    void deliverEvent(int code, QPoint globalPos, quint64 iconSerial);

    const IconRegistry& m_icons;
    const HostKind m_hostKind;
    QSystemTrayIcon m_trayIcon;
    DesktopNotices m_notices;
    QTimer m_balloonTimer;
    QTimer m_trayCheck;
    quint64 m_iconSerial = 0;
    bool m_present = false;
    bool m_callbacks = false;
    quint32 m_version = 0;
};
