#pragma once

#include <QObject>
#include <QString>

// How a transfer ended, beyond the reply body itself.
enum class TransferError
{
    None, // a reply arrived; its body may still be an error page or empty
    Refused, // connection refused or reset before a reply
    TimedOut, // no complete reply within the time-out
    HostNotFound, // the address could not be resolved
    TooLarge, // the reply exceeded the size cap and was abandoned
    Cancelled, // cancel() was called
    Other, // any other transport failure
};

struct TransferReply
{
    QString body;
    TransferError error = TransferError::None;
};

// The HTTP transfer component: the port, URL and credentials are set anew before every request,
// then openUrl() starts one GET. It never blocks: the reply arrives through finished(), emitted
// exactly once per openUrl(), also for failures and cancellation.
class Transfer : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    virtual void setRemotePort(quint16 port) = 0;
    virtual void setUrl(const QString& url) = 0;
    virtual void setUserName(const QString& userName) = 0;
    virtual void setPassword(const QString& password) = 0;
    virtual void openUrl() = 0;
    virtual void cancel() = 0;
    virtual bool isBusy() const = 0;

signals:
    void finished(const TransferReply& reply);
};
