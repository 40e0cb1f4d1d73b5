#pragma once

#include "platform/TrayRecordLayout.h"

#include <QString>

#include <array>
#include <span>

class TrayShell;
class TrayWindow;
class VersionProbe;

// The program's one notification-area icon: add, modify, balloon and delete, with the call flavour
// and the announced record size chosen once from the system version. Both records are kept for the
// whole run and only the fields an operation owns are rewritten; the shell's answers are not used.
class SysTray
{
public:
    static constexpr int tipCharsLarge = 128;
    static constexpr int tipCharsSmall = 64;

    using TrayDataA = std::array<quint8, TrayRecordLayout::of(TrayFlavour::Ansi).fullSize()>;
    using TrayDataW = std::array<quint8, TrayRecordLayout::of(TrayFlavour::Wide).fullSize()>;

    SysTray(TrayShell& shell, const VersionProbe& versionProbe);

    void detectShellCapabilities();
    void addTrayIcon(const TrayWindow& window, const QString& tip);
    void modifyTrayIcon(const TrayWindow& window, const QString& tip);
    void showBalloon(const QString& text, const QString& title, quint32 infoFlags, int timeoutMs);
    void deleteTrayIcon();

    qint32 trayRecordSize() const;
    qint32 charsToBytes(qint32 chars) const;

    // Writes the text's UTF-16 bytes into the first byteCount bytes of the field: at most
    // byteCount / 2 - 1 characters, then zeros to the end of that range. An empty text zeroes the range.
    static void copyTextToField(const QString& text, std::span<quint8> field, qint32 byteCount);

    bool iconAdded() const { return m_iconAdded; }
    bool balloonCapable() const { return m_balloonCapable; }
    bool useUnicode() const { return m_useUnicode; }
    bool trayAvailable() const;

    const TrayDataA& trayDataA() const { return m_trayDataA; }
    const TrayDataW& trayDataW() const { return m_trayDataW; }

private:
    TrayFlavour flavour() const { return m_useUnicode ? TrayFlavour::Wide : TrayFlavour::Ansi; }
    TrayRecordLayout layout() const { return TrayRecordLayout::of(flavour()); }
    std::span<quint8> record();
    void writeLong(int offset, quint32 value);
    void writeTip(const QString& tip);
    void writeText(const QString& text, int offset, int chars, bool terminate);
    void send(quint32 operation);

    TrayShell& m_shell;
    const VersionProbe& m_versionProbe;
    bool m_iconAdded = false;
    bool m_balloonCapable = false;
    bool m_useUnicode = false;
    TrayDataA m_trayDataA{};
    TrayDataW m_trayDataW{};
};
