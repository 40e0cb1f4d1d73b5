#pragma once

#include "platform/Transfer.h"

#include <QByteArray>
#include <QString>
#include <QTimer>

#include <memory>

class QAuthenticator;
class QNetworkAccessManager;
class QNetworkReply;

// The HTTP transfer component on Qt's network stack. One GET at a time, never blocking the thread:
// the reply's body comes back through finished(), decoded from the router's single-byte code page,
// also when the router answers with an error status.
//
// Limits, so that a misbehaving router cannot stall or swamp the program:
// - the whole exchange must end within the time-out, or it ends with TimedOut;
// - a body beyond the size cap is abandoned with TooLarge;
// - redirects are never followed, so the credentials never travel to another address;
// - the login challenge is answered once per request; a refused login hands the router's reply over;
// - no proxy is used, the request goes straight to the address in the URL.
//
// When the URL carries its own ":port", that port is used; otherwise the remote port applies.
// openUrl() while a request runs is ignored: that request's finished() is still to come.
// Destroying the transfer during a request aborts it without finished(), so closing never waits.
class HttpTransfer final : public Transfer
{
    Q_OBJECT

public:
    static constexpr int defaultTimeoutMs = 20000;
    static constexpr qint64 defaultSizeCap = qint64{4} * 1024 * 1024;

    explicit HttpTransfer(int timeoutMs = defaultTimeoutMs, qint64 sizeCap = defaultSizeCap, QObject* parent = nullptr);
    ~HttpTransfer() override;
    Q_DISABLE_COPY_MOVE(HttpTransfer)

    void setRemotePort(quint16 port) override;
    void setUrl(const QString& url) override;
    void setUserName(const QString& userName) override;
    void setPassword(const QString& password) override;
    void openUrl() override;
    void cancel() override;
    bool isBusy() const override;

private:
    void startRequest();
    void onAuthenticationRequired(QNetworkReply* reply, QAuthenticator* authenticator);
    void onReadyRead();
    void onReplyFinished();
    void finish(TransferError error);
    void failSoon(TransferError error);
    TransferError errorOfReply() const;

    int m_timeoutMs;
    qint64 m_sizeCap;
    quint16 m_port = 80;
    QString m_url;
    QString m_userName;
    QString m_password;
    // A fresh manager per request: Qt caches accepted credentials and connections per manager,
    // and a cached login must not answer a challenge the user's current entries should answer.
    std::unique_ptr<QNetworkAccessManager> m_manager;
    QNetworkReply* m_reply = nullptr;
    QByteArray m_body;
    QTimer m_deadline;
    quint64 m_requestNumber = 0; // tells a late failure of an earlier request from the current one
    bool m_busy = false;
    bool m_answeredChallenge = false;
};
