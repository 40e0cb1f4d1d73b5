#pragma once

#include "platform/Transfer.h"

#include <QList>
#include <QStringList>

// A transfer with canned replies: records what it was handed, and answers either at once from
// the queue of canned replies or later, when the test calls answer().
class FakeTransfer final : public Transfer
{
    Q_OBJECT

public:
    void setRemotePort(quint16 value) override { record(port, value, "port"); }
    void setUrl(const QString& value) override { record(url, value, "url"); }
    void setUserName(const QString& value) override { record(userName, value, "user"); }
    void setPassword(const QString& value) override { record(password, value, "password"); }
    void openUrl() override
    {
        record(busy, true, "open");
        if (!cannedReplies.isEmpty())
            answer(cannedReplies.takeFirst());
    }
    void cancel() override
    {
        if (busy)
            answer({QString(), TransferError::Cancelled});
    }
    bool isBusy() const override { return busy; }

    void answer(const TransferReply& reply)
    {
        busy = false;
        emit finished(reply);
    }

    int openCount() const { return int(calls.count(QStringLiteral("open"))); }

    QList<TransferReply> cannedReplies;
    QStringList calls;
    quint16 port = 0;
    QString url;
    QString userName;
    QString password;
    bool busy = false;

private:
    template <typename Value> void record(Value& field, const Value& value, const char* call)
    {
        field = value;
        calls.append(QLatin1String(call));
    }
};
