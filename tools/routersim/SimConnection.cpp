#include "SimConnection.h"

#include "HttpRequest.h"

#include <QTcpSocket>

#include <algorithm>
#include <limits>

namespace {

// A request head larger than this is no request a browser or the monitor would send.
constexpr qsizetype maxRequestBytes = qsizetype{64} * 1024;
constexpr qint64 streamChunkBytes = qint64{64} * 1024;
constexpr qint64 endless = std::numeric_limits<qint64>::max();

} // namespace

SimConnection::SimConnection(
    QTcpSocket* socket, Responder responder, int slowIntervalMs, qint64 hugeBytes, QObject* parent)
    : QObject(parent)
    , m_socket(socket)
    , m_responder(std::move(responder))
    , m_hugeBytes(hugeBytes)
{
    m_socket->setParent(this);
    m_drip.setInterval(slowIntervalMs);
    connect(m_socket, &QTcpSocket::readyRead, this, &SimConnection::onReadyRead);
    connect(m_socket, &QTcpSocket::disconnected, this, &QObject::deleteLater);
    connect(m_socket, &QTcpSocket::bytesWritten, this, &SimConnection::pumpStream);
    connect(&m_drip, &QTimer::timeout, this, &SimConnection::dripNextByte);
    onReadyRead();
}

void SimConnection::onReadyRead()
{
    m_buffer += m_socket->readAll();
    // A kept-alive connection answers each request in turn.
    while (!m_answered) {
        bool complete = false;
        const std::optional<HttpRequest> request = HttpRequest::take(m_buffer, complete);
        if (!complete) {
            if (m_buffer.size() > maxRequestBytes) {
                m_socket->abort();
            }
            return;
        }
        m_answered = true;
        send(m_responder(request));
    }
}

void SimConnection::send(const SimResponse& response)
{
    const QByteArray length = "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
    switch (response.delivery) {
    case SimResponse::Delivery::Whole:
        m_socket->write(head(response, length) + response.body);
        if (response.keepAlive) {
            m_answered = false;
            return;
        }
        break;
    case SimResponse::Delivery::Hang:
        return;
    case SimResponse::Delivery::Slow:
        m_pending = head(response, length) + response.body;
        m_drip.start();
        return;
    case SimResponse::Delivery::Huge:
        m_socket->write(head(response, "Content-Length: " + QByteArray::number(m_hugeBytes) + "\r\n"));
        startStream(QByteArray(streamChunkBytes, 'x'), m_hugeBytes);
        return;
    case SimResponse::Delivery::EndlessHeaders:
        m_socket->write("HTTP/1.1 200 OK\r\n");
        startStream(repeated("X-Padding: " + QByteArray(50, 'x') + "\r\n"), endless);
        return;
    case SimResponse::Delivery::EndlessContinue:
        startStream(repeated("HTTP/1.1 100 Continue\r\n\r\n"), endless);
        return;
    case SimResponse::Delivery::Garbage:
        m_socket->write(noise());
        break;
    case SimResponse::Delivery::Truncated:
        m_socket->write(head(response, length) + response.body.left(response.body.size() / 2));
        break;
    case SimResponse::Delivery::Chunked:
        m_socket->write(head(response, "Transfer-Encoding: chunked\r\n") + chunked(response.body));
        break;
    }
    m_socket->disconnectFromHost();
}

void SimConnection::startStream(const QByteArray& block, qint64 bytes)
{
    m_streamBlock = block;
    m_streamLeft = bytes;
    pumpStream();
}

void SimConnection::pumpStream()
{
    // Top the socket up as it drains, so the stream never sits in memory whole.
    if (m_streamLeft <= 0 || m_socket->bytesToWrite() > streamChunkBytes) {
        return;
    }
    const qint64 size = std::min(m_streamLeft, qint64(m_streamBlock.size()));
    m_streamLeft -= size;
    m_socket->write(m_streamBlock.left(size));
    if (m_streamLeft == 0) {
        m_socket->disconnectFromHost();
    }
}

QByteArray SimConnection::repeated(const QByteArray& unit)
{
    return unit.repeated(streamChunkBytes / unit.size());
}

void SimConnection::dripNextByte()
{
    if (m_pending.isEmpty()) {
        m_drip.stop();
        m_socket->disconnectFromHost();
        return;
    }
    m_socket->write(m_pending.left(1));
    m_pending.remove(0, 1);
}

QByteArray SimConnection::head(const SimResponse& response, const QByteArray& lengthHeader)
{
    QByteArray text = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' + response.reason + "\r\n";
    for (const auto& [name, value] : response.headers) {
        text += name + ": " + value + "\r\n";
    }
    text += response.keepAlive ? "Connection: keep-alive\r\n" : "Connection: close\r\n";
    return text + "Content-Type: text/html\r\n" + lengthHeader + "\r\n";
}

QByteArray SimConnection::noise()
{
    // The same bytes every run, so a client's reaction to them is repeatable; all 256 values occur.
    QByteArray bytes(4096, '\0');
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        bytes[i] = static_cast<char>((i * 167 + 13) & 0xFF);
    }
    return bytes;
}

QByteArray SimConnection::chunked(const QByteArray& body)
{
    QByteArray text;
    const qsizetype third = body.size() / 3 + 1;
    for (qsizetype at = 0; at < body.size(); at += third) {
        const QByteArray part = body.mid(at, third);
        text += QByteArray::number(part.size(), 16) + "\r\n" + part + "\r\n";
    }
    return text + "0\r\n\r\n";
}
