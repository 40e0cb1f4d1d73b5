#include "SimAuth.h"

#include "HttpRequest.h"

#include <QCryptographicHash>
#include <QRandomGenerator>

namespace {

const QByteArray realm = "ADSL Router";

QByteArray md5Hex(const QByteArray& text)
{
    return QCryptographicHash::hash(text, QCryptographicHash::Md5).toHex();
}

QByteArray randomHex()
{
    QByteArray bytes(16, '\0');
    for (char& byte : bytes) {
        byte = static_cast<char>(QRandomGenerator::global()->bounded(256));
    }
    return bytes.toHex();
}

} // namespace

SimAuth::SimAuth(const SimOptions& options)
    : m_options(options)
    , m_nonce(randomHex())
    , m_opaque(randomHex())
{ }

bool SimAuth::admits(const HttpRequest& request) const
{
    const QByteArray authorization = request.header("Authorization");
    const qsizetype space = authorization.indexOf(' ');
    const QByteArray scheme = authorization.left(space).toLower();
    const QByteArray credentials = space < 0 ? QByteArray() : authorization.mid(space + 1).trimmed();
    switch (m_options.auth) {
    case SimOptions::Auth::None:
        return true;
    case SimOptions::Auth::Basic:
        return scheme == "basic" && admitsBasic(credentials);
    case SimOptions::Auth::Digest:
        return scheme == "digest" && admitsDigest(credentials, request.method);
    }
    return false;
}

QByteArray SimAuth::challenge() const
{
    if (m_options.auth == SimOptions::Auth::Basic) {
        return "Basic realm=\"" + realm + "\"";
    }
    return "Digest realm=\"" + realm + "\", qop=\"auth\", nonce=\"" + m_nonce + "\", opaque=\"" + m_opaque
        + "\", algorithm=MD5";
}

QByteArray SimAuth::endlessChallenge(bool stale)
{
    const QByteArray challengeRealm = stale ? realm : realm + ' ' + randomHex();
    return "Digest realm=\"" + challengeRealm + "\", qop=\"auth\", nonce=\"" + randomHex() + "\", algorithm=MD5"
        + (stale ? ", stale=true" : "");
}

bool SimAuth::admitsBasic(const QByteArray& credentials) const
{
    return QByteArray::fromBase64(credentials) == (m_options.user + QLatin1Char(':') + m_options.password).toUtf8();
}

bool SimAuth::admitsDigest(const QByteArray& credentials, const QByteArray& method) const
{
    const QMap<QByteArray, QByteArray> fields = digestFields(credentials);
    if (fields.value("username") != m_options.user.toUtf8() || fields.value("nonce") != m_nonce) {
        return false;
    }
    const QByteArray ha1 = md5Hex(m_options.user.toUtf8() + ':' + realm + ':' + m_options.password.toUtf8());
    const QByteArray ha2 = md5Hex(method + ':' + fields.value("uri"));
    const QByteArray qop = fields.value("qop");
    const QByteArray expected = qop.isEmpty()
        ? md5Hex(ha1 + ':' + m_nonce + ':' + ha2)
        : md5Hex(ha1 + ':' + m_nonce + ':' + fields.value("nc") + ':' + fields.value("cnonce") + ':' + qop + ':' + ha2);
    return fields.value("response") == expected;
}

QMap<QByteArray, QByteArray> SimAuth::digestFields(const QByteArray& credentials)
{
    // name=value pairs, the values quoted or bare; quoted values may hold commas.
    QMap<QByteArray, QByteArray> fields;
    qsizetype at = 0;
    while (at < credentials.size()) {
        const qsizetype equals = credentials.indexOf('=', at);
        if (equals < 0) {
            break;
        }
        const QByteArray name = credentials.mid(at, equals - at).trimmed().toLower();
        qsizetype valueEnd = 0;
        QByteArray value;
        if (credentials.mid(equals + 1, 1) == "\"") {
            valueEnd = credentials.indexOf('"', equals + 2);
            valueEnd = valueEnd < 0 ? credentials.size() : valueEnd;
            value = credentials.mid(equals + 2, valueEnd - equals - 2);
            valueEnd = credentials.indexOf(',', valueEnd);
        } else {
            valueEnd = credentials.indexOf(',', equals + 1);
            value = credentials.mid(equals + 1, valueEnd < 0 ? -1 : valueEnd - equals - 1).trimmed();
        }
        fields.insert(name, value);
        at = valueEnd < 0 ? credentials.size() : valueEnd + 1;
    }
    return fields;
}
