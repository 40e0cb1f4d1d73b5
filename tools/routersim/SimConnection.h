#pragma once

#include "SimResponse.h"

#include <QByteArray>
#include <QObject>
#include <QTimer>

#include <functional>

class QTcpSocket;
struct HttpRequest;

// One client connection: reads a request, hands it to the responder, sends the answer in the
// way its delivery asks, then closes, or reads the next request when the answer keeps it alive. Deletes itself when the
// client goes away.
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
    void startStream(const QByteArray& block, qint64 bytes);
    void pumpStream();
    static QByteArray repeated(const QByteArray& unit);
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
    QByteArray m_streamBlock; // sent again and again as the socket drains
    qint64 m_streamLeft = 0; // bytes of the stream still to go
};
