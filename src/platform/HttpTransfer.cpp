#include "platform/HttpTransfer.h"

#include "platform/AnsiCodec.h"
#include "platform/CurlMulti.h"
#include "platform/CurlRequest.h"

#include <QUrl>

HttpTransfer::HttpTransfer(int timeoutMs, qint64 sizeCap, QObject* parent)
    : Transfer(parent)
    , m_timeoutMs(timeoutMs)
    , m_sizeCap(sizeCap)
{ }

HttpTransfer::~HttpTransfer()
{
    dropRequest();
}

void HttpTransfer::setRemotePort(quint16 port)
{
    m_port = port;
}

void HttpTransfer::setUrl(const QString& url)
{
    m_url = url;
}

void HttpTransfer::setUserName(const QString& userName)
{
    m_userName = userName;
}

void HttpTransfer::setPassword(const QString& password)
{
    m_password = password;
}

void HttpTransfer::openUrl()
{
    if (m_busy) {
        return;
    }
    m_busy = true;
    ++m_requestNumber;
    QUrl url(m_url, QUrl::StrictMode);
    if (!url.isValid() || url.scheme() != QLatin1String("http") || url.host().isEmpty()) {
        failSoon(TransferError::HostNotFound);
        return;
    }
    if (url.port() == -1) {
        url.setPort(m_port);
    }
    const CurlRequest::Limits limits{m_timeoutMs, m_sizeCap, headerCap, requestCap};
    m_request = std::make_unique<CurlRequest>(
        url.toEncoded(), AnsiCodec::encode(m_userName), AnsiCodec::encode(m_password), limits);
    if (!m_request->handle() || !multi().add(m_request->handle())) {
        m_request.reset();
        failSoon(TransferError::Other);
    }
}

CurlMulti& HttpTransfer::multi()
{
    // Made at the first fetch: starting libcurl costs the window's start-up time, and a window that
    // never monitors never needs it.
    if (!m_multi) {
        m_multi = std::make_unique<CurlMulti>();
        connect(m_multi.get(), &CurlMulti::done, this,
            [this](CURL* handle, CURLcode result) { onRequestDone(handle, int(result)); });
    }
    return *m_multi;
}

void HttpTransfer::cancel()
{
    finish({QString(), TransferError::Cancelled});
}

bool HttpTransfer::isBusy() const
{
    return m_busy;
}

void HttpTransfer::onRequestDone(void* handle, int result)
{
    if (m_request && handle == m_request->handle()) {
        finish(m_request->reply(CURLcode(result)));
    }
}

void HttpTransfer::failSoon(TransferError error)
{
    // finished() must not fire inside openUrl(): the caller may not be ready for it yet.
    const quint64 request = m_requestNumber;
    QMetaObject::invokeMethod(
        this,
        [this, error, request] {
            if (request == m_requestNumber) {
                finish({QString(), error});
            }
        },
        Qt::QueuedConnection);
}

void HttpTransfer::finish(const TransferReply& reply)
{
    if (!m_busy) {
        return;
    }
    m_busy = false;
    dropRequest();
    emit finished(reply);
}

void HttpTransfer::dropRequest()
{
    // Removing the handle closes its socket at once: nothing reads on after the end.
    if (m_request) {
        m_multi->remove(m_request->handle());
        m_request.reset();
    }
}
