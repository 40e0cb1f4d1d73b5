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
        EndlessHeaders, // a status line, then header lines for as long as the client reads
        EndlessContinue, // "100 Continue" responses for as long as the client reads
    };

    int status = 200;
    QByteArray reason = "OK";
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;
    Delivery delivery = Delivery::Whole;
    bool keepAlive = false; // a whole answer leaves the connection open for the next request
};
