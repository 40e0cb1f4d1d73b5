#pragma once

#include "platform/Clock.h"

// A clock that shows whatever time the test set.
class FakeClock final : public Clock
{
public:
    explicit FakeClock(QDateTime time = QDateTime(QDate(2026, 3, 5), QTime(7, 8, 9)))
        : current(std::move(time))
    { }
    QDateTime now() const override { return current; }

    QDateTime current;
};
