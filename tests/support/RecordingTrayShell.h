#pragma once

#include "platform/TrayShell.h"

#include <QtEndian>

#include <algorithm>
#include <array>

// A notification area that keeps every call with a copy of the record's bytes and accepts them all.
class RecordingTrayShell final : public TrayShell
{
public:
    struct Call
    {
        TrayFlavour flavour;
        quint32 operation;
        QByteArray record;
    };

    bool notifyIcon(TrayFlavour flavour, quint32 operation, QByteArrayView record) override
    {
        calls.append({flavour, operation, record.toByteArray()});
        return true;
    }
    bool isTrayAvailable() const override { return trayAvailable; }

    QList<quint32> operations() const
    {
        QList<quint32> result;
        for (const Call& call : calls)
            result.append(call.operation);
        return result;
    }

    // A record cut short reads as zeros past its end rather than past its buffer.
    static quint32 longAt(const QByteArray& record, int offset)
    {
        std::array<char, 4> bytes{};
        const QByteArray field = record.mid(offset, 4);
        std::copy(field.cbegin(), field.cend(), bytes.begin());
        return qFromLittleEndian<quint32>(bytes.data());
    }

    QList<Call> calls;
    bool trayAvailable = true;
};
