#pragma once

#include "tray/DesktopNotices.h"
#include "tray/TrayHost.h"
#include "tray/TrayIcon.h"

#include <QSystemTrayIcon>
#include <QTimer>

#include <functional>
#include <optional>

// The tray icon through QSystemTrayIcon, on whichever kind of tray the desktop runs, with the drop
// notice as a notice of the desktop's notification service, or as the toolkit's balloon where
// there is none. The kind of tray is asked of the session bus without waiting when the icon is
// made; the toolkit's icon is made only once the answer is in, since the toolkit asks the same
// question and would wait for it.
class QtTrayIcon final : public TrayIcon
{
    Q_OBJECT

public:
    // How often an icon in an embedding tray checks that the tray is still there.
    static constexpr int trayCheckMs = 1000;

    enum class Gesture
    {
        None,
        Restore,
        Menu,
    };
    // What a tray activation asks for on a tray of that kind.
    static Gesture gestureFor(QSystemTrayIcon::ActivationReason reason, TrayHost host);

    explicit QtTrayIcon(QObject* parent = nullptr);
    ~QtTrayIcon() override;
    Q_DISABLE_COPY_MOVE(QtTrayIcon)

    bool isAvailable() const override;
    void show(const QIcon& status, const QString& tip) override;
    void hide() override;
    void notifyDrop(const QString& title, const QString& text) override;
    void setMenu(QMenu* menu) override;

    // Nothing until the session bus has said which kind of tray runs.
    std::optional<TrayHost> host() const { return m_host; }
    bool isShown() const { return m_shown; }
    QString toolTip() const;

private:
    void onHostKnown(TrayHost host);
    void followStatusTray();
    void onActivated(QSystemTrayIcon::ActivationReason reason);
    void showBalloon(const QString& title, const QString& text);
    void onBalloonClicked();
    void checkEmbeddingTray();
    void emitLater(std::function<void()> emitSignal);

    std::optional<TrayHost> m_host;
    QSystemTrayIcon* m_trayIcon = nullptr;
    QMenu* m_menu = nullptr;
    DesktopNotices m_notices;
    QTimer m_balloonTimer;
    QTimer m_trayCheck;
    quint64 m_showSerial = 0;
    bool m_shown = false;
    bool m_statusTrayGone = false;
};
