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

private:
    bool admitsBasic(const QByteArray& credentials) const;
    bool admitsDigest(const QByteArray& credentials, const QByteArray& method) const;
    static QMap<QByteArray, QByteArray> digestFields(const QByteArray& credentials);

    const SimOptions& m_options;
    QByteArray m_nonce;
    QByteArray m_opaque;
};
