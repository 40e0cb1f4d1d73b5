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
    void setRemotePort(quint16 value) override
    {
        port = value;
        calls.append(QStringLiteral("port"));
    }
    void setUrl(const QString& value) override
    {
        url = value;
        calls.append(QStringLiteral("url"));
    }
    void setUserName(const QString& value) override
    {
        userName = value;
        calls.append(QStringLiteral("user"));
    }
    void setPassword(const QString& value) override
    {
        password = value;
        calls.append(QStringLiteral("password"));
    }
    void openUrl() override
    {
        calls.append(QStringLiteral("open"));
        busy = true;
        if (!cannedReplies.isEmpty()) {
            answer(cannedReplies.takeFirst());
        }
    }
    void cancel() override
    {
        if (busy) {
            answer({QString(), TransferError::Cancelled});
        }
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
};
