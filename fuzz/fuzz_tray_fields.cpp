// Any texts of any length through add, modify, balloon and delete, on all four shell generations
// (wide and single-byte route, with and without balloons). Every record sent must keep its size,
// hold each text within its field by that route's fill rules, and leave every byte the operation
// does not own as the previous call sent it.

#include "FuzzCheck.h"
#include "platform/AnsiCodec.h"
#include "platform/TrayShell.h"
#include "platform/VersionProbe.h"
#include "support/FakeTrayWindow.h"
#include "support/RecordingTrayShell.h"
#include "tray/SysTray.h"

#include <QByteArray>
#include <QList>
#include <QtEndian>

#include <array>
#include <cstddef>
#include <cstdint>
#include <fuzzer/FuzzedDataProvider.h>

namespace {

constexpr std::array<quint32, 4> shellVersions{VersionProbe::pack(5, 0, true), VersionProbe::pack(4, 0, true),
    VersionProbe::pack(4, 90, false), VersionProbe::pack(4, 10, false)};

constexpr std::size_t maxTextBytes = 1200;

struct Region
{
    int offset;
    int size;
};

enum class Step
{
    add,
    modify,
    balloon,
    remove,
};

QString textFrom(FuzzedDataProvider& input)
{
    const bool wide = input.ConsumeBool();
    const std::string bytes = input.ConsumeRandomLengthString(maxTextBytes);
    if (!wide)
        return AnsiCodec::decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    QString text;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        text.append(QChar(char16_t(quint8(bytes[i]) | quint8(bytes[i + 1]) << 8)));
    return text;
}

quint32 longAt(const QByteArray& record, int offset)
{
    return qFromLittleEndian<quint32>(record.constData() + offset);
}

// The wide route: at most byteCount / 2 - 1 characters, then zeros to the end of the range.
QByteArray wideField(const QString& text, int byteCount)
{
    const qsizetype chars = std::min<qsizetype>(text.size(), byteCount / 2 - 1);
    QByteArray field(byteCount, '\0');
    for (qsizetype i = 0; i < chars; ++i) {
        field[2 * i] = char(text[i].unicode() & 0xFF);
        field[2 * i + 1] = char(text[i].unicode() >> 8);
    }
    return field;
}

// The single-byte route: the text (the tip with one NUL after it) cut to the field, spaces after.
QByteArray ansiField(const QString& text, int chars, bool terminate)
{
    QByteArray field = AnsiCodec::encode(text);
    if (terminate)
        field.append('\0');
    field.truncate(chars);
    return field + QByteArray(chars - field.size(), ' ');
}

class TrayRun
{
public:
    explicit TrayRun(quint32 version)
        : m_probe(version)
        , m_tray(m_shell, m_probe)
    {
        m_tray.detectShellCapabilities();
        m_layout = TrayRecordLayout::of(m_tray.useUnicode() ? TrayFlavour::Wide : TrayFlavour::Ansi);
        m_previous = QByteArray(m_layout.fullSize(), '\0');
    }

    void run(FuzzedDataProvider& input)
    {
        for (int step = 0; step < 8 && input.remaining_bytes() > 0; ++step)
            runStep(Step(input.ConsumeIntegralInRange<int>(0, int(Step::remove))), input);
    }

    void runStep(Step step, FuzzedDataProvider& input)
    {
        const qsizetype callsBefore = m_shell.calls.size();
        const bool wasAdded = m_tray.iconAdded();
        if (step == Step::add || step == Step::modify) {
            m_window.iconHandle = input.ConsumeIntegral<quint32>();
            const QString tip = textFrom(input);
            if (step == Step::add) {
                m_tray.addTrayIcon(m_window, tip);
                expectCalls(callsBefore, wasAdded ? 0 : (m_tray.balloonCapable() ? 2 : 1));
                if (!wasAdded)
                    checkAdd(callsBefore, tip);
            } else {
                m_tray.modifyTrayIcon(m_window, tip);
                expectCalls(callsBefore, wasAdded ? 1 : 0);
                if (wasAdded)
                    checkModify(m_shell.calls.constLast().record, tip);
            }
        } else if (step == Step::balloon) {
            const QString text = textFrom(input);
            const QString title = textFrom(input);
            const auto flags = input.ConsumeIntegral<quint32>();
            const auto timeout = input.ConsumeIntegral<int>();
            m_tray.showBalloon(text, title, flags, timeout);
            expectCalls(callsBefore, m_tray.balloonCapable() ? 1 : 0);
            if (m_tray.balloonCapable())
                checkBalloon(m_shell.calls.constLast().record, text, title, flags, timeout);
        } else {
            m_tray.deleteTrayIcon();
            expectCalls(callsBefore, wasAdded ? 1 : 0);
            if (wasAdded)
                checkUntouched(m_shell.calls.constLast().record, {});
        }
    }

private:
    void expectCalls(qsizetype before, int count)
    {
        fuzzCheck(m_shell.calls.size() == before + count, "each operation sends the calls its state calls for");
        for (qsizetype i = before; i < m_shell.calls.size(); ++i) {
            const RecordingTrayShell::Call& call = m_shell.calls[i];
            fuzzCheck(call.flavour == (m_tray.useUnicode() ? TrayFlavour::Wide : TrayFlavour::Ansi),
                "every call uses the route the system version chose");
            fuzzCheck(call.record.size() == m_layout.fullSize(), "the record keeps its size");
        }
    }

    Region tipRegion() const
    {
        const int chars
            = m_tray.useUnicode() && !m_tray.balloonCapable() ? SysTray::tipCharsSmall : SysTray::tipCharsLarge;
        return {TrayRecordLayout::szTip, chars * m_layout.charBytes};
    }

    QByteArray expectedTip(const QString& tip) const
    {
        if (m_tray.useUnicode())
            return wideField(tip, tipRegion().size);
        return ansiField(tip, TrayRecordLayout::tipChars, true);
    }

    void checkAdd(qsizetype first, const QString& tip)
    {
        const QByteArray& record = m_shell.calls[first].record;
        fuzzCheck(m_shell.calls[first].operation == TrayShell::NimAdd, "an add starts with NIM_ADD");
        fuzzCheck(longAt(record, TrayRecordLayout::cbSize) == quint32(m_tray.trayRecordSize()),
            "the add announces the record size of the shell generation");
        fuzzCheck(longAt(record, TrayRecordLayout::hWnd) == m_window.handle, "the add names the window");
        fuzzCheck(longAt(record, TrayRecordLayout::uID) == 1, "the icon's id is 1");
        fuzzCheck(longAt(record, TrayRecordLayout::uFlags) == 7, "the add sets message, icon and tip");
        fuzzCheck(longAt(record, TrayRecordLayout::uCallbackMessage) == TrayShell::mouseMoveMessage,
            "icon activity comes back as mouse moves");
        fuzzCheck(longAt(record, TrayRecordLayout::hIcon) == m_window.iconHandle, "the add shows the window's icon");
        fuzzCheck(record.mid(TrayRecordLayout::szTip, tipRegion().size) == expectedTip(tip), "the tip fills its field");
        QList<Region> owned{{TrayRecordLayout::cbSize, 24}, tipRegion()};
        if (m_tray.balloonCapable()) {
            fuzzCheck(
                longAt(record, m_layout.uTimeout()) == TrayShell::notifyIconVersion, "the add asks for version 3");
            owned.append({m_layout.uTimeout(), 4});
        }
        checkUntouched(record, owned);
        if (m_tray.balloonCapable()) {
            fuzzCheck(m_shell.calls[first + 1].operation == TrayShell::NimSetVersion, "NIM_SETVERSION follows");
            fuzzCheck(m_shell.calls[first + 1].record == record, "the version call sends the added record");
        }
    }

    void checkModify(const QByteArray& record, const QString& tip)
    {
        fuzzCheck(longAt(record, TrayRecordLayout::uFlags) == 6, "a modify sets icon and tip");
        fuzzCheck(longAt(record, TrayRecordLayout::hIcon) == m_window.iconHandle, "a modify reads the icon afresh");
        fuzzCheck(record.mid(TrayRecordLayout::szTip, tipRegion().size) == expectedTip(tip), "the tip fills its field");
        checkUntouched(record, {{TrayRecordLayout::uFlags, 4}, {TrayRecordLayout::hIcon, 4}, tipRegion()});
    }

    void checkBalloon(const QByteArray& record, const QString& text, const QString& title, quint32 flags, int timeout)
    {
        const int infoBytes = TrayRecordLayout::infoChars * m_layout.charBytes;
        const int titleBytes = TrayRecordLayout::infoTitleChars * m_layout.charBytes;
        const bool wide = m_tray.useUnicode();
        const QByteArray info = wide ? wideField(text, infoBytes) : ansiField(text, TrayRecordLayout::infoChars, false);
        const QByteArray heading
            = wide ? wideField(title, titleBytes) : ansiField(title, TrayRecordLayout::infoTitleChars, false);
        fuzzCheck(record.mid(m_layout.szInfo(), infoBytes) == info, "the balloon text fills its field");
        fuzzCheck(record.mid(m_layout.szInfoTitle(), titleBytes) == heading, "the balloon title fills its field");
        fuzzCheck(longAt(record, m_layout.uTimeout()) == quint32(timeout), "the balloon carries its timeout");
        fuzzCheck(longAt(record, m_layout.dwInfoFlags()) == flags, "the balloon carries its info flags");
        fuzzCheck(longAt(record, TrayRecordLayout::uFlags) == TrayShell::NifInfo, "a balloon sets only NIF_INFO");
        checkUntouched(record,
            {{TrayRecordLayout::uFlags, 4}, {m_layout.szInfo(), infoBytes}, {m_layout.uTimeout(), 4},
                {m_layout.szInfoTitle(), titleBytes}, {m_layout.dwInfoFlags(), 4}});
    }

    // Bytes outside the operation's own fields are those of the previous call.
    void checkUntouched(const QByteArray& record, const QList<Region>& owned)
    {
        QByteArray expected = m_previous;
        for (const Region& region : owned)
            expected.replace(region.offset, region.size, record.mid(region.offset, region.size));
        fuzzCheck(record == expected, "an operation leaves the fields it does not own as they were");
        m_previous = record;
    }

    RecordingTrayShell m_shell;
    FixedVersionProbe m_probe;
    SysTray m_tray;
    FakeTrayWindow m_window;
    TrayRecordLayout m_layout{1};
    QByteArray m_previous;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider input(data, size);
    TrayRun run(shellVersions[input.ConsumeIntegralInRange<std::size_t>(0, shellVersions.size() - 1)]);
    run.run(input);
    return 0;
}
