#pragma once

#include "platform/Transfer.h"

#include <QString>

#include <memory>

class CurlMulti;
class CurlRequest;

// The HTTP transfer component on libcurl, driven from the window's event loop: one GET at a time,
// never blocking the thread. The reply's body comes back through finished(), decoded from the
// router's single-byte code page, also when the router answers with an error status.
//
// Limits, so that a misbehaving router can neither stall nor swamp the program, nor be flooded by it:
// - the whole exchange must end within the time-out, or it ends with TimedOut;
// - a body beyond the size cap, or more header bytes than any router sends, ends with TooLarge;
// - at most three requests reach the router per fetch: the login challenge is answered once (and
//   once more if the router calls the answer stale); a refused login hands the router's reply over;
// - redirects are never followed, so the credentials never travel to another address;
// - no proxy is used, the request goes straight to the address in the URL.
// When the fetch ends, however it ends, its connection is closed and nothing of it goes on.
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
    static constexpr qint64 headerCap = qint64{64} * 1024;
    static constexpr int requestCap = 3;

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
    CurlMulti& multi();
    void onRequestDone(void* handle, int result);
    void finish(const TransferReply& reply);
    void failSoon(TransferError error);
    void dropRequest();

    int m_timeoutMs;
    qint64 m_sizeCap;
    quint16 m_port = 80;
    QString m_url;
    QString m_userName;
    QString m_password;
    std::unique_ptr<CurlMulti> m_multi; // made at the first fetch
    std::unique_ptr<CurlRequest> m_request;
    quint64 m_requestNumber = 0; // tells a late failure of an earlier request from the current one
    bool m_busy = false;
};
