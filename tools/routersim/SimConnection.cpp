#include "SimConnection.h"

#include "HttpRequest.h"

#include <QTcpSocket>

#include <algorithm>

namespace {

// A request head larger than this is no request a browser or the monitor would send.
constexpr qsizetype maxRequestBytes = qsizetype{64} * 1024;
constexpr qint64 hugeChunkBytes = qint64{64} * 1024;

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
    connect(m_socket, &QTcpSocket::bytesWritten, this, &SimConnection::sendHuge);
    connect(&m_drip, &QTimer::timeout, this, &SimConnection::dripNextByte);
    onReadyRead();
}

void SimConnection::onReadyRead()
{
    m_buffer += m_socket->readAll();
    if (m_answered) {
        return;
    }
    bool complete = false;
    const std::optional<HttpRequest> request = HttpRequest::take(m_buffer, complete);
    if (complete) {
        m_answered = true;
        send(m_responder(request));
    } else if (m_buffer.size() > maxRequestBytes) {
        m_socket->abort();
    }
}

void SimConnection::send(const SimResponse& response)
{
    const QByteArray length = "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n";
    switch (response.delivery) {
    case SimResponse::Delivery::Whole:
        m_socket->write(head(response, length) + response.body);
        break;
    case SimResponse::Delivery::Hang:
        return;
    case SimResponse::Delivery::Slow:
        m_pending = head(response, length) + response.body;
        m_drip.start();
        return;
    case SimResponse::Delivery::Huge:
        m_hugeLeft = m_hugeBytes;
        m_socket->write(head(response, "Content-Length: " + QByteArray::number(m_hugeBytes) + "\r\n"));
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

void SimConnection::sendHuge()
{
    // Top the socket up as it drains, so the body never sits in memory whole.
    if (m_hugeLeft <= 0 || m_socket->bytesToWrite() > hugeChunkBytes) {
        return;
    }
    const qint64 size = std::min(m_hugeLeft, hugeChunkBytes);
    m_hugeLeft -= size;
    m_socket->write(QByteArray(size, 'x'));
    if (m_hugeLeft == 0) {
        m_socket->disconnectFromHost();
    }
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
    return text + "Content-Type: text/html\r\nConnection: close\r\n" + lengthHeader + "\r\n";
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
