#pragma once

#include "platform/TrayShell.h"

#include <QString>
#include <QSystemTrayIcon>
#include <QTimer>

#include <optional>

class IconRegistry;

// The notification area through QSystemTrayIcon. It reads a notify-icon record as the shell does:
// only the fields inside the announced size, texts up to their NUL or the end of their field,
// icons through the handles of an IconRegistry.
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

    explicit QtTrayShell(const IconRegistry& icons, QObject* parent = nullptr);

    bool notifyIcon(TrayFlavour flavour, quint32 operation, QByteArrayView record) override;
    bool isTrayAvailable() const override;

    bool isIconShown() const { return m_present; }
    QString toolTip() const { return m_trayIcon.toolTip(); }
    QRect iconGeometry() const { return m_trayIcon.geometry(); }

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
    void emitEvent(int code);

    const IconRegistry& m_icons;
    QSystemTrayIcon m_trayIcon;
    QTimer m_balloonTimer;
    bool m_present = false;
    bool m_callbacks = false;
    quint32 m_version = 0;
};
