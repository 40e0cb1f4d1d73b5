#include "platform/HttpTransfer.h"

#include "platform/AnsiCodec.h"

#include <QAuthenticator>
#include <QNetworkAccessManager>
#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

namespace {

// The reply carries an HTTP status the router chose: its body is the router's answer, not a failure.
bool isHttpStatusError(QNetworkReply::NetworkError error)
{
    return (error >= QNetworkReply::ContentAccessDenied && error <= QNetworkReply::UnknownContentError)
        || error == QNetworkReply::ProtocolInvalidOperationError
        || (error >= QNetworkReply::InternalServerError && error <= QNetworkReply::UnknownServerError);
}

QNetworkRequest requestFor(const QUrl& url)
{
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, false);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::AlwaysNetwork);
    request.setAttribute(QNetworkRequest::CacheSaveControlAttribute, false);
    return request;
}

} // namespace

HttpTransfer::HttpTransfer(int timeoutMs, qint64 sizeCap, QObject* parent)
    : Transfer(parent)
    , m_timeoutMs(timeoutMs)
    , m_sizeCap(sizeCap)
{
    m_deadline.setSingleShot(true);
    connect(&m_deadline, &QTimer::timeout, this, [this] { finish(TransferError::TimedOut); });
}

HttpTransfer::~HttpTransfer()
{
    if (m_reply) {
        disconnect(m_reply, nullptr, this, nullptr);
        m_reply->abort();
    }
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
    m_answeredChallenge = false;
    m_body.clear();
    m_deadline.start(m_timeoutMs);
    startRequest();
}

void HttpTransfer::cancel()
{
    finish(TransferError::Cancelled);
}

bool HttpTransfer::isBusy() const
{
    return m_busy;
}

void HttpTransfer::startRequest()
{
    QUrl url(m_url, QUrl::StrictMode);
    if (!url.isValid() || url.scheme() != QLatin1String("http") || url.host().isEmpty()) {
        failSoon(TransferError::HostNotFound);
        return;
    }
    if (url.port() == -1) {
        url.setPort(m_port);
    }
    // The previous manager may still be on the call stack (a listener of finished() can start
    // the next request), so it goes later rather than now.
    if (m_manager) {
        m_manager.release()->deleteLater();
    }
    m_manager = std::make_unique<QNetworkAccessManager>();
    m_manager->setProxy(QNetworkProxy::NoProxy);
    m_manager->setRedirectPolicy(QNetworkRequest::ManualRedirectPolicy);
    connect(
        m_manager.get(), &QNetworkAccessManager::authenticationRequired, this, &HttpTransfer::onAuthenticationRequired);
    m_reply = m_manager->get(requestFor(url));
    connect(m_reply, &QNetworkReply::readyRead, this, &HttpTransfer::onReadyRead);
    connect(m_reply, &QNetworkReply::finished, this, &HttpTransfer::onReplyFinished);
}

void HttpTransfer::onAuthenticationRequired(QNetworkReply* reply, QAuthenticator* authenticator)
{
    // Leaving the authenticator untouched makes Qt give up and deliver the refusal page,
    // which is what tells the user the login failed; answering again would loop.
    if (reply != m_reply || m_answeredChallenge) {
        return;
    }
    m_answeredChallenge = true;
    authenticator->setUser(m_userName);
    authenticator->setPassword(m_password);
}

void HttpTransfer::onReadyRead()
{
    m_body += m_reply->readAll();
    if (m_body.size() > m_sizeCap) {
        finish(TransferError::TooLarge);
    }
}

void HttpTransfer::onReplyFinished()
{
    onReadyRead();
    if (m_busy) {
        finish(errorOfReply());
    }
}

TransferError HttpTransfer::errorOfReply() const
{
    const QNetworkReply::NetworkError error = m_reply->error();
    const bool answered = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).isValid();
    if (error == QNetworkReply::NoError || (answered && isHttpStatusError(error))) {
        return TransferError::None;
    }
    switch (error) {
    case QNetworkReply::ConnectionRefusedError:
        return TransferError::Refused;
    case QNetworkReply::RemoteHostClosedError:
        // Closed after the status line: the page was cut short, not refused.
        return answered ? TransferError::Other : TransferError::Refused;
    case QNetworkReply::HostNotFoundError:
        return TransferError::HostNotFound;
    case QNetworkReply::TimeoutError:
        return TransferError::TimedOut;
    default:
        return TransferError::Other;
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
                finish(error);
            }
        },
        Qt::QueuedConnection);
}

void HttpTransfer::finish(TransferError error)
{
    if (!m_busy) {
        return;
    }
    m_busy = false;
    m_deadline.stop();
    if (m_reply) {
        disconnect(m_reply, nullptr, this, nullptr);
        m_reply->abort();
        m_reply->deleteLater();
        m_reply = nullptr;
    }
    TransferReply reply;
    reply.error = error;
    if (error == TransferError::None) {
        reply.body = AnsiCodec::decode(m_body);
    }
    m_body.clear();
    emit finished(reply);
}
