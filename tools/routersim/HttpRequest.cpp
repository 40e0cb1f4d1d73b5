#include "HttpRequest.h"

#include <QList>

std::optional<HttpRequest> HttpRequest::take(QByteArray& buffer, bool& complete)
{
    const qsizetype end = buffer.indexOf("\r\n\r\n");
    complete = end >= 0;
    if (!complete) {
        return std::nullopt;
    }
    const QList<QByteArray> lines = buffer.left(end).split('\n');
    buffer.remove(0, end + 4);
    const QList<QByteArray> requestLine = lines.first().trimmed().split(' ');
    if (requestLine.size() != 3 || !requestLine[2].startsWith("HTTP/1.")) {
        return std::nullopt;
    }
    HttpRequest request;
    request.method = requestLine[0];
    request.target = requestLine[1];
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype colon = lines[i].indexOf(':');
        if (colon > 0) {
            request.headers.insert(lines[i].left(colon).trimmed().toLower(), lines[i].mid(colon + 1).trimmed());
        }
    }
    return request;
}
