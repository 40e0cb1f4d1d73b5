#pragma once

#include "PageGenerator.h"
#include "SimAuth.h"
#include "SimOptions.h"
#include "SimResponse.h"

#include <QTcpServer>

#include <optional>

struct HttpRequest;

// The simulated router: listens on 127.0.0.1 only and answers every connection as the options say.
class SimServer final : public QObject
{
    Q_OBJECT

public:
    explicit SimServer(const SimOptions& options, QObject* parent = nullptr);
    Q_DISABLE_COPY_MOVE(SimServer)

    bool listen();
    quint16 port() const;
    QString errorString() const;
    int requestCount() const { return m_requestCount; }

private:
    void onNewConnection();
    SimResponse answer(const std::optional<HttpRequest>& request);
    SimResponse answerFault(const HttpRequest& request);
    SimResponse statusPage();
    static SimResponse errorResponse(int status, const QByteArray& reason);

    const SimOptions& m_options;
    QTcpServer m_server;
    PageGenerator m_pages;
    SimAuth m_auth;
    int m_requestCount = 0;
};
