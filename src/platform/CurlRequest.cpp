#include "platform/CurlRequest.h"

#include "platform/AnsiCodec.h"

CurlRequest::CurlRequest(
    const QByteArray& url, const QByteArray& userName, const QByteArray& password, const Limits& limits)
    : m_handle(curl_easy_init())
    , m_limits(limits)
{
    if (m_handle) {
        setOptions(url, userName, password);
    }
}

CurlRequest::~CurlRequest()
{
    if (m_handle) {
        curl_easy_cleanup(m_handle);
    }
}

void CurlRequest::setOptions(const QByteArray& url, const QByteArray& userName, const QByteArray& password)
{
    curl_easy_setopt(m_handle, CURLOPT_URL, url.constData());
    curl_easy_setopt(m_handle, CURLOPT_HTTPGET, 1L);
    curl_easy_setopt(m_handle, CURLOPT_PROTOCOLS_STR, "http");
    curl_easy_setopt(m_handle, CURLOPT_REDIR_PROTOCOLS_STR, "http");
    curl_easy_setopt(m_handle, CURLOPT_HTTP_VERSION, long{CURL_HTTP_VERSION_1_1});
    // Straight to the address typed, and a redirect's own page goes to the parser, so the login
    // never travels anywhere else.
    curl_easy_setopt(m_handle, CURLOPT_PROXY, "");
    curl_easy_setopt(m_handle, CURLOPT_NOPROXY, "*");
    curl_easy_setopt(m_handle, CURLOPT_FOLLOWLOCATION, 0L);
    // Neither asked for nor unpacked: a compressed reply cannot swell past the size cap.
    curl_easy_setopt(m_handle, CURLOPT_HTTP_CONTENT_DECODING, 0L);
    // No connection is kept after the request: each capture starts afresh, and every request the
    // router sees is one this object counted.
    curl_easy_setopt(m_handle, CURLOPT_FRESH_CONNECT, 1L);
    curl_easy_setopt(m_handle, CURLOPT_FORBID_REUSE, 1L);
    curl_easy_setopt(m_handle, CURLOPT_NOSIGNAL, 1L);
    // Ending a request never waits for a host-name lookup that still runs: its thread is left to
    // finish on its own, so a time-out, a cancel and closing never block the window.
    curl_easy_setopt(m_handle, CURLOPT_QUICK_EXIT, 1L);
    curl_easy_setopt(m_handle, CURLOPT_TIMEOUT_MS, long{m_limits.timeoutMs});
    curl_easy_setopt(m_handle, CURLOPT_MAXFILESIZE_LARGE, curl_off_t{m_limits.bodyBytes});
    // Routers' pages are made for browsers.
    curl_easy_setopt(m_handle, CURLOPT_USERAGENT, "Mozilla/5.0");
    curl_easy_setopt(m_handle, CURLOPT_HTTPAUTH, long{CURLAUTH_BASIC | CURLAUTH_DIGEST});
    curl_easy_setopt(m_handle, CURLOPT_USERNAME, userName.constData());
    curl_easy_setopt(m_handle, CURLOPT_PASSWORD, password.constData());
    curl_easy_setopt(m_handle, CURLOPT_HEADERFUNCTION, &CurlRequest::onHeader);
    curl_easy_setopt(m_handle, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(m_handle, CURLOPT_WRITEFUNCTION, &CurlRequest::onBody);
    curl_easy_setopt(m_handle, CURLOPT_WRITEDATA, this);
    curl_easy_setopt(m_handle, CURLOPT_PREREQFUNCTION, &CurlRequest::onRequest);
    curl_easy_setopt(m_handle, CURLOPT_PREREQDATA, this);
}

TransferReply CurlRequest::reply(CURLcode result) const
{
    if (m_overLimit) {
        return {QString(), *m_overLimit};
    }
    switch (result) {
    case CURLE_OK:
        return {AnsiCodec::decode(m_body), TransferError::None};
    case CURLE_OPERATION_TIMEDOUT:
        return {QString(), TransferError::TimedOut};
    case CURLE_FILESIZE_EXCEEDED:
        return {QString(), TransferError::TooLarge};
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_URL_MALFORMAT:
        return {QString(), TransferError::HostNotFound};
    default:
        break;
    }
    // Nothing that looked like HTTP came back: refused, reset, or something else on that port.
    // Once the router had begun its answer, the answer was cut off or garbled.
    return {QString(), m_headerBytes == 0 ? TransferError::Refused : TransferError::Other};
}

size_t CurlRequest::onHeader(char*, size_t size, size_t count, void* self)
{
    // Status lines and headers of every response count, 1xx and refused logins included, so
    // neither endless header lines nor endless interim responses keep the request reading.
    auto* request = static_cast<CurlRequest*>(self);
    const size_t bytes = size * count;
    request->m_headerBytes += qint64(bytes);
    if (request->m_headerBytes > request->m_limits.headerBytes) {
        request->m_overLimit = TransferError::TooLarge;
        return 0;
    }
    return bytes;
}

size_t CurlRequest::onBody(char* data, size_t size, size_t count, void* self)
{
    auto* request = static_cast<CurlRequest*>(self);
    const size_t bytes = size * count;
    if (qint64(request->m_body.size()) + qint64(bytes) > request->m_limits.bodyBytes) {
        request->m_overLimit = TransferError::TooLarge;
        return 0;
    }
    request->m_body.append(data, qsizetype(bytes));
    return bytes;
}

int CurlRequest::onRequest(void* self, char*, char*, int, int)
{
    // curl answers a Digest challenge marked stale as often as the router sends one; a monitor
    // must not flood the device it watches, so the request after the last one allowed never goes.
    auto* request = static_cast<CurlRequest*>(self);
    if (++request->m_requests > request->m_limits.requests) {
        request->m_overLimit = TransferError::Other;
        return CURL_PREREQFUNC_ABORT;
    }
    return CURL_PREREQFUNC_OK;
}
