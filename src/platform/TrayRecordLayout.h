#pragma once

#include <QtGlobal>

// Which flavour of the notify-icon call a record is for: single-byte code page texts or UTF-16.
enum class TrayFlavour
{
    Ansi,
    Wide,
};

// Byte offsets of the notify-icon record, little-endian, every scalar field 32 bits wide. The full
// layout runs through the balloon's info flags; the old layout ends after a 64-character tip, and a
// shell that is told the old size reads nothing beyond it.
struct TrayRecordLayout
{
    static constexpr int tipChars = 128;
    static constexpr int oldTipChars = 64;
    static constexpr int infoChars = 256;
    static constexpr int infoTitleChars = 64;

    static constexpr int cbSize = 0;
    static constexpr int hWnd = 4;
    static constexpr int uID = 8;
    static constexpr int uFlags = 12;
    static constexpr int uCallbackMessage = 16;
    static constexpr int hIcon = 20;
    static constexpr int szTip = 24;

    int charBytes; // 1 for the single-byte flavour, 2 for UTF-16

    static constexpr TrayRecordLayout of(TrayFlavour flavour) { return {flavour == TrayFlavour::Wide ? 2 : 1}; }

    constexpr int dwState() const { return szTip + tipChars * charBytes; }
    constexpr int dwStateMask() const { return dwState() + 4; }
    constexpr int szInfo() const { return dwStateMask() + 4; }
    constexpr int uTimeout() const { return szInfo() + infoChars * charBytes; }
    constexpr int szInfoTitle() const { return uTimeout() + 4; }
    constexpr int dwInfoFlags() const { return szInfoTitle() + infoTitleChars * charBytes; }
    constexpr int fullSize() const { return dwInfoFlags() + 4; }
    constexpr int oldSize() const { return szTip + oldTipChars * charBytes; }
};

static_assert(TrayRecordLayout::of(TrayFlavour::Wide).fullSize() == 936);
static_assert(TrayRecordLayout::of(TrayFlavour::Ansi).fullSize() == 488);
static_assert(TrayRecordLayout::of(TrayFlavour::Wide).oldSize() == 152);
static_assert(TrayRecordLayout::of(TrayFlavour::Ansi).oldSize() == 88);
