#include "SimServer.h"

#include "HttpRequest.h"
#include "SimConnection.h"

#include <QTcpSocket>

SimServer::SimServer(const SimOptions& options, QObject* parent)
    : QObject(parent)
    , m_options(options)
    , m_pages(options)
    , m_auth(options)
{
    connect(&m_server, &QTcpServer::newConnection, this, &SimServer::onNewConnection);
}

bool SimServer::listen()
{
    return m_server.listen(QHostAddress::LocalHost, m_options.port);
}

quint16 SimServer::port() const
{
    return m_server.serverPort();
}

QString SimServer::errorString() const
{
    return m_server.errorString();
}

void SimServer::onNewConnection()
{
    while (QTcpSocket* socket = m_server.nextPendingConnection()) {
        if (m_options.fault == SimOptions::Fault::Refuse) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        const qint64 hugeBytes = qint64(m_options.hugeMegabytes) * 1024 * 1024;
        new SimConnection(
            socket, [this](const std::optional<HttpRequest>& request) { return answer(request); },
            m_options.slowIntervalMs, hugeBytes, this);
    }
}

SimResponse SimServer::answer(const std::optional<HttpRequest>& request)
{
    ++m_requestCount;
    if (!request || request->method != "GET") {
        return errorResponse(501, "Not Implemented");
    }
    if (m_options.fault != SimOptions::Fault::None) {
        return answerFault(*request);
    }
    if (!m_auth.admits(*request)) {
        SimResponse refusal = errorResponse(401, "Unauthorized");
        refusal.headers.append({"WWW-Authenticate", m_auth.challenge()});
        return refusal;
    }
    const QByteArray path = request->target.split('?').first();
    if (path != m_options.pagePath.toUtf8()) {
        return m_options.unknownPathIs404 ? errorResponse(404, "Not Found") : errorResponse(501, "Not Implemented");
    }
    return statusPage();
}

SimResponse SimServer::answerFault(const HttpRequest& request)
{
    SimResponse response = statusPage();
    switch (m_options.fault) {
    case SimOptions::Fault::None:
    case SimOptions::Fault::Refuse:
        break;
    case SimOptions::Fault::Hang:
        response.delivery = SimResponse::Delivery::Hang;
        break;
    case SimOptions::Fault::Slow:
        response.delivery = SimResponse::Delivery::Slow;
        break;
    case SimOptions::Fault::Huge:
        response.delivery = SimResponse::Delivery::Huge;
        break;
    case SimOptions::Fault::Garbage:
        response.delivery = SimResponse::Delivery::Garbage;
        break;
    case SimOptions::Fault::Truncated:
        response.delivery = SimResponse::Delivery::Truncated;
        break;
    case SimOptions::Fault::Chunked:
        response.delivery = SimResponse::Delivery::Chunked;
        break;
    case SimOptions::Fault::NotFound:
        return errorResponse(404, "Not Found");
    case SimOptions::Fault::RedirectLoop:
        response = SimResponse{302, "Found", {{"Location", request.target}}, "<html><body>Moved</body></html>\n"};
        break;
    case SimOptions::Fault::Page401:
        response.body = PageGenerator::errorPage("401 Unauthorized");
        break;
    case SimOptions::Fault::Page501:
        response.body = PageGenerator::errorPage("501 Not Implemented");
        break;
    case SimOptions::Fault::AuthStale:
    case SimOptions::Fault::AuthRotating:
        response = errorResponse(401, "Unauthorized");
        response.headers.append(
            {"WWW-Authenticate", SimAuth::endlessChallenge(m_options.fault == SimOptions::Fault::AuthStale)});
        response.keepAlive = true;
        break;
    case SimOptions::Fault::EndlessHeaders:
        response.delivery = SimResponse::Delivery::EndlessHeaders;
        break;
    case SimOptions::Fault::EndlessContinue:
        response.delivery = SimResponse::Delivery::EndlessContinue;
        break;
    }
    return response;
}

SimResponse SimServer::statusPage()
{
    SimResponse response;
    response.body = m_pages.nextPage();
    return response;
}

SimResponse SimServer::errorResponse(int status, const QByteArray& reason)
{
    SimResponse response;
    response.status = status;
    response.reason = reason;
    response.body = PageGenerator::errorPage(QByteArray::number(status) + ' ' + reason);
    return response;
}
