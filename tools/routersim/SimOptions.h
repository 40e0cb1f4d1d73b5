#pragma once

#include <QString>
#include <QStringList>

#include <optional>

// The simulator's command line, checked: every option the router can be made to do.
struct SimOptions
{
    enum class Auth
    {
        None,
        Basic,
        Digest,
    };

    enum class Fault
    {
        None,
        Refuse, // close every connection at once
        Hang, // read the request, never answer
        Slow, // drip the answer one byte per interval
        Huge, // a body of many megabytes
        Garbage, // binary bytes instead of HTTP
        Truncated, // close half way through the announced body
        NotFound, // 404 for every request
        RedirectLoop, // 302 back to the same address
        Chunked, // the page in chunked transfer coding
        Page401, // the router's login failure page, with status 200
        Page501, // the router's missing-page page, with status 200
        AuthStale, // 401 with a Digest challenge marked stale, on a kept-alive connection, every time
        AuthRotating, // 401 under a new realm and nonce, on a kept-alive connection, every time
        EndlessHeaders, // a status line, then header lines without end
        EndlessContinue, // "100 Continue" responses without end
    };

    quint16 port = 0;
    QString pagePath = QStringLiteral("/doc/adsl.htm");
    QStringList fixedValues; // four texts, used as they stand; empty for the built-in values
    bool drift = false;
    quint32 seed = 1;
    int dropEvery = 0; // every Nth run of captures ends in a drop; 0 for none
    int dropLength = 1;
    QStringList naCodes; // series codes (SD, SU, AD, AU) reported as "NA"
    QStringList missingCodes; // series codes left off the page
    QStringList nonNumericCodes; // series codes given a text that is no number
    Auth auth = Auth::None;
    QString user = QStringLiteral("admin");
    QString password = QStringLiteral("admin");
    Fault fault = Fault::None;
    bool unknownPathIs404 = false; // otherwise the router's 501 page
    int slowIntervalMs = 100;
    int hugeMegabytes = 32;

    // Reads the arguments (the program name first). Prints help or the error and gives nothing
    // when the program should end; exitCode then says how.
    static std::optional<SimOptions> parse(const QStringList& arguments, int& exitCode);
};
