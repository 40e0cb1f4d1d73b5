#pragma once

#include "SimResponse.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <functional>

class QTcpSocket;
struct HttpRequest;

// One client connection: reads one request, hands it to the responder, sends the answer in the
// way its delivery asks, then closes. Deletes itself when the client goes away.
class SimConnection final : public QObject
{
    Q_OBJECT

public:
    using Responder = std::function<SimResponse(const std::optional<HttpRequest>&)>;

    SimConnection(
        QTcpSocket* socket, Responder responder, int slowIntervalMs, qint64 hugeBytes, QObject* parent = nullptr);
    Q_DISABLE_COPY_MOVE(SimConnection)

private:
    void onReadyRead();
    void send(const SimResponse& response);
    void sendHuge();
    void dripNextByte();
    static QByteArray head(const SimResponse& response, const QByteArray& lengthHeader);
    static QByteArray noise();
    static QByteArray chunked(const QByteArray& body);

    QTcpSocket* m_socket;
    Responder m_responder;
    QByteArray m_buffer;
    bool m_answered = false;
    QTimer m_drip;
    QByteArray m_pending; // bytes of the slow delivery still to go
    qint64 m_hugeBytes;
    qint64 m_hugeLeft = 0;
};
