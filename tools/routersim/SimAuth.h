#pragma once

#include "SimOptions.h"

#include <QByteArray>
#include <QMap>

struct HttpRequest;

// The router's login check: none, Basic, or Digest (MD5, with or without qop=auth).
class SimAuth
{
public:
    explicit SimAuth(const SimOptions& options);

    bool admits(const HttpRequest& request) const;
    // The WWW-Authenticate value of a refusal.
    QByteArray challenge() const;
    // A Digest challenge no answer can meet: a fresh nonce every time, either marked stale
    // (the answer was right, only late) or under a realm never seen before.
    static QByteArray endlessChallenge(bool stale);

private:
    bool admitsBasic(const QByteArray& credentials) const;
    bool admitsDigest(const QByteArray& credentials, const QByteArray& method) const;
    static QMap<QByteArray, QByteArray> digestFields(const QByteArray& credentials);

    const SimOptions& m_options;
    QByteArray m_nonce;
    QByteArray m_opaque;
};
