#pragma once

#include "platform/Transfer.h"

#include <QByteArray>

#include <curl/curl.h>
#include <optional>

// One GET on a libcurl easy handle of its own, held within every limit a router must keep to:
// the time-out, the body and header sizes, the number of requests, one login answer, no redirects,
// no proxy, plain HTTP only. Nothing of it outlives the object: its connection is never kept.
class CurlRequest
{
public:
    struct Limits
    {
        int timeoutMs;
        qint64 bodyBytes;
        qint64 headerBytes; // all header lines of all responses together
        int requests; // the unanswered probe, the login answer, and one answer to a stale challenge
    };

    CurlRequest(const QByteArray& url, const QByteArray& userName, const QByteArray& password, const Limits& limits);
    ~CurlRequest();
    Q_DISABLE_COPY_MOVE(CurlRequest)

    // Null when curl could not make a handle.
    CURL* handle() const { return m_handle; }
    // The reply for curl's result, told apart by what the request saw of the router.
    TransferReply reply(CURLcode result) const;

private:
    void setOptions(const QByteArray& url, const QByteArray& userName, const QByteArray& password);
    static size_t onHeader(char* data, size_t size, size_t count, void* self);
    static size_t onBody(char* data, size_t size, size_t count, void* self);
    static int onRequest(void* self, char* routerIp, char* localIp, int routerPort, int localPort);

    CURL* m_handle;
    Limits m_limits;
    QByteArray m_body;
    qint64 m_headerBytes = 0;
    int m_requests = 0;
    std::optional<TransferError> m_overLimit;
};
