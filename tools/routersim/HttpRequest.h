#pragma once

#include <QByteArray>
#include <QMap>

#include <optional>

// One request as the simulator reads it: request line and headers; a body is never needed.
struct HttpRequest
{
    QByteArray method;
    QByteArray target;
    QMap<QByteArray, QByteArray> headers; // names in lower case

    QByteArray header(const QByteArray& name) const { return headers.value(name.toLower()); }

    // The request at the front of the buffer, once its header block is complete; the block is
    // removed from the buffer. complete stays false while more bytes are needed.
    static std::optional<HttpRequest> take(QByteArray& buffer, bool& complete);
};
