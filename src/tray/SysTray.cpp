#include "tray/SysTray.h"

#include "platform/AnsiCodec.h"
#include "platform/TrayShell.h"
#include "platform/VersionProbe.h"
#include "tray/TrayWindow.h"

#include <QtEndian>

#include <algorithm>
#include <cstring>

namespace {

constexpr quint32 addFlags = TrayShell::NifMessage | TrayShell::NifIcon | TrayShell::NifTip;
constexpr quint32 modifyFlags = TrayShell::NifIcon | TrayShell::NifTip;
constexpr quint32 iconID = 1;

} // namespace

SysTray::SysTray(TrayShell& shell, const VersionProbe& versionProbe)
    : m_shell(shell)
    , m_versionProbe(versionProbe)
{ }

void SysTray::detectShellCapabilities()
{
    const quint32 version = m_versionProbe.version();
    const int major = int(version & 0xFFu);
    const int minor = int((version >> 8) & 0xFFu);
    const bool ntFamily = (version & 0x80000000u) == 0;
    if (ntFamily) {
        m_useUnicode = true;
        if (major >= 5)
            m_balloonCapable = true;
    } else if (major == 4 && minor == 90) {
        m_balloonCapable = true;
    }
}

void SysTray::addTrayIcon(const TrayWindow& window, const QString& tip)
{
    if (m_iconAdded)
        return;
    writeLong(TrayRecordLayout::hWnd, window.windowHandle());
    writeLong(TrayRecordLayout::uFlags, addFlags);
    writeLong(TrayRecordLayout::uCallbackMessage, TrayShell::mouseMoveMessage);
    writeLong(TrayRecordLayout::uID, iconID);
    if (m_balloonCapable)
        writeLong(layout().uTimeout(), TrayShell::notifyIconVersion);
    writeLong(TrayRecordLayout::cbSize, quint32(trayRecordSize()));
    writeLong(TrayRecordLayout::hIcon, window.currentIconHandle());
    writeTip(tip);
    send(TrayShell::NimAdd);
    if (m_balloonCapable)
        send(TrayShell::NimSetVersion);
    m_iconAdded = true;
}

void SysTray::modifyTrayIcon(const TrayWindow& window, const QString& tip)
{
    if (!m_iconAdded)
        return;
    writeLong(TrayRecordLayout::uFlags, modifyFlags);
    writeLong(TrayRecordLayout::hIcon, window.currentIconHandle());
    writeTip(tip);
    send(TrayShell::NimModify);
}

void SysTray::showBalloon(const QString& text, const QString& title, quint32 infoFlags, int timeoutMs)
{
    if (!m_balloonCapable)
        return;
    const TrayRecordLayout fields = layout();
    writeText(text, fields.szInfo(), TrayRecordLayout::infoChars, false);
    writeText(title, fields.szInfoTitle(), TrayRecordLayout::infoTitleChars, false);
    writeLong(fields.uTimeout(), quint32(timeoutMs));
    writeLong(fields.dwInfoFlags(), infoFlags);
    writeLong(TrayRecordLayout::uFlags, TrayShell::NifInfo);
    send(TrayShell::NimModify);
}

void SysTray::deleteTrayIcon()
{
    if (!m_iconAdded)
        return;
    send(TrayShell::NimDelete);
    m_iconAdded = false;
}

qint32 SysTray::trayRecordSize() const
{
    if (m_balloonCapable)
        return m_useUnicode ? 936 : 488;
    return m_useUnicode ? 152 : 88;
}

qint32 SysTray::charsToBytes(qint32 chars) const
{
    return m_useUnicode ? chars * 2 : chars;
}

void SysTray::copyTextToField(const QString& text, std::span<quint8> field, qint32 byteCount)
{
    const qsizetype range = std::min<qsizetype>(byteCount, qsizetype(field.size()));
    if (range < 2)
        return;
    // The last two bytes of the range always stay free for the terminating NUL character.
    const qsizetype copied = std::min<qsizetype>(text.size() * 2, range - 2);
    for (qsizetype i = 0; i < copied; ++i) {
        const char16_t unit = text.at(i / 2).unicode();
        field[size_t(i)] = quint8(i % 2 == 0 ? unit & 0xFF : unit >> 8);
    }
    std::fill(field.begin() + copied, field.begin() + range, quint8(0));
}

bool SysTray::trayAvailable() const
{
    return m_shell.isTrayAvailable();
}

std::span<quint8> SysTray::record()
{
    if (m_useUnicode)
        return m_trayDataW;
    return m_trayDataA;
}

void SysTray::writeLong(int offset, quint32 value)
{
    qToLittleEndian<quint32>(value, record().data() + offset);
}

void SysTray::writeTip(const QString& tip)
{
    if (m_useUnicode) {
        const int chars = m_balloonCapable ? tipCharsLarge : tipCharsSmall;
        copyTextToField(tip, record().subspan(TrayRecordLayout::szTip), charsToBytes(chars));
    } else {
        writeText(tip, TrayRecordLayout::szTip, TrayRecordLayout::tipChars, true);
    }
}

// On the wide route every text field is NUL-terminated within its range. The single-byte route
// keeps its fixed-width form: the text, for the tip a NUL after it, cut to the field and padded
// with spaces.
void SysTray::writeText(const QString& text, int offset, int chars, bool terminate)
{
    if (m_useUnicode) {
        copyTextToField(text, record().subspan(size_t(offset)), chars * 2);
        return;
    }
    QByteArray bytes = AnsiCodec::encode(text);
    if (terminate)
        bytes.append('\0');
    bytes.truncate(chars);
    bytes.append(QByteArray(chars - bytes.size(), ' '));
    std::memcpy(record().data() + offset, bytes.constData(), size_t(chars));
}

void SysTray::send(quint32 operation)
{
    const std::span<const quint8> bytes = record();
    const QByteArrayView view(reinterpret_cast<const char*>(bytes.data()), qsizetype(bytes.size()));
    m_shell.notifyIcon(flavour(), operation, view);
}
