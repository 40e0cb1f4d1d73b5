#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>

// What the simulator answers to one request, and how the bytes go out.
struct SimResponse
{
    enum class Delivery
    {
        Whole, // the answer at once, then close
        Hang, // nothing, ever
        Slow, // one byte per interval
        Huge, // an endless-looking body of the given size
        Garbage, // random bytes instead of HTTP
        Truncated, // the announced body cut in half, then close
        Chunked, // the body in chunked transfer coding
    };

    int status = 200;
    QByteArray reason = "OK";
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;
    Delivery delivery = Delivery::Whole;
};
