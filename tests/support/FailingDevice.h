#pragma once

#include <QIODevice>

// A device that takes the first bytes it is given and refuses the rest, the way a disk fills up.
class FailingDevice final : public QIODevice
{
public:
    explicit FailingDevice(qint64 capacity)
        : m_capacity(capacity)
    {
        open(QIODevice::WriteOnly);
    }

    QByteArray written;

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override
    {
        const qint64 room = m_capacity - written.size();
        if (room <= 0)
            return -1;
        const qint64 taken = std::min(room, size);
        written.append(data, taken);
        return taken;
    }

private:
    qint64 m_capacity;
};
