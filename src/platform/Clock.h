#pragma once

#include <QDateTime>

// Source of the local time stamps written to the CSV file and the drop notice.
// Tests substitute a clock they set themselves.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
};

class SystemClock final : public Clock
{
public:
    QDateTime now() const override { return QDateTime::currentDateTime(); }
};
