#include "SimOptions.h"

#include <QCommandLineParser>
#include <QTextStream>

#include <cstdio>

namespace {

const QStringList seriesCodes
    = {QStringLiteral("SD"), QStringLiteral("SU"), QStringLiteral("AD"), QStringLiteral("AU")};

const QList<QPair<QString, SimOptions::Fault>> faultNames = {
    {QStringLiteral("none"), SimOptions::Fault::None},
    {QStringLiteral("refuse"), SimOptions::Fault::Refuse},
    {QStringLiteral("hang"), SimOptions::Fault::Hang},
    {QStringLiteral("slow"), SimOptions::Fault::Slow},
    {QStringLiteral("huge"), SimOptions::Fault::Huge},
    {QStringLiteral("garbage"), SimOptions::Fault::Garbage},
    {QStringLiteral("truncated"), SimOptions::Fault::Truncated},
    {QStringLiteral("404"), SimOptions::Fault::NotFound},
    {QStringLiteral("redirect-loop"), SimOptions::Fault::RedirectLoop},
    {QStringLiteral("chunked"), SimOptions::Fault::Chunked},
    {QStringLiteral("page401"), SimOptions::Fault::Page401},
    {QStringLiteral("page501"), SimOptions::Fault::Page501},
    {QStringLiteral("auth-stale"), SimOptions::Fault::AuthStale},
    {QStringLiteral("auth-rotating"), SimOptions::Fault::AuthRotating},
    {QStringLiteral("endless-headers"), SimOptions::Fault::EndlessHeaders},
    {QStringLiteral("endless-continue"), SimOptions::Fault::EndlessContinue},
};

struct Problem
{
    QString text;
};

int positiveNumber(const QCommandLineParser& parser, const QString& name, int lowest, int highest)
{
    bool ok = false;
    const int value = parser.value(name).toInt(&ok);
    if (!ok || value < lowest || value > highest) {
        throw Problem{QStringLiteral("--%1 must be a whole number from %2 to %3").arg(name).arg(lowest).arg(highest)};
    }
    return value;
}

QStringList codeList(const QCommandLineParser& parser, const QString& name)
{
    if (!parser.isSet(name)) {
        return {};
    }
    QStringList codes = parser.value(name).toUpper().split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString& code : codes) {
        if (!seriesCodes.contains(code)) {
            throw Problem{QStringLiteral("--%1 takes series codes out of SD,SU,AD,AU").arg(name)};
        }
    }
    return codes;
}

SimOptions::Auth authOf(const QString& text)
{
    if (text == QLatin1String("none")) {
        return SimOptions::Auth::None;
    }
    if (text == QLatin1String("basic")) {
        return SimOptions::Auth::Basic;
    }
    if (text == QLatin1String("digest")) {
        return SimOptions::Auth::Digest;
    }
    throw Problem{QStringLiteral("--auth takes none, basic or digest")};
}

SimOptions::Fault faultOf(const QString& text)
{
    for (const auto& [name, fault] : faultNames) {
        if (name == text) {
            return fault;
        }
    }
    QStringList names;
    for (const auto& entry : faultNames) {
        names.append(entry.first);
    }
    throw Problem{QStringLiteral("--fault takes one of ") + names.join(QLatin1Char('|'))};
}

void addOptions(QCommandLineParser& parser)
{
    parser.setApplicationDescription(
        QStringLiteral("Serves an ADSL router's status page on 127.0.0.1 for tests and demos.\n"
                       "Prints \"listening 127.0.0.1:PORT\" as its first line; stops on SIGINT or SIGTERM,\n"
                       "printing \"requests N\" with the number of requests it received."));
    parser.addHelpOption();
    parser.addOptions({
        {QStringLiteral("port"), QStringLiteral("Port to listen on; 0 picks a free one."), QStringLiteral("N"),
            QStringLiteral("0")},
        {QStringLiteral("page"), QStringLiteral("Path of the status page."), QStringLiteral("PATH"),
            QStringLiteral("/doc/adsl.htm")},
        {QStringLiteral("values"), QStringLiteral("Four fixed value texts: Down SNR, Up SNR, Down and Up attenuation."),
            QStringLiteral("a,b,c,d")},
        {QStringLiteral("drift"), QStringLiteral("Values drift in a random walk around realistic means.")},
        {QStringLiteral("seed"), QStringLiteral("Seed of the drift."), QStringLiteral("N"), QStringLiteral("1")},
        {QStringLiteral("drop-every"), QStringLiteral("Every N captures, the last ones show a dropped line."),
            QStringLiteral("N"), QStringLiteral("0")},
        {QStringLiteral("drop-length"), QStringLiteral("Captures each drop lasts."), QStringLiteral("M"),
            QStringLiteral("1")},
        {QStringLiteral("na"), QStringLiteral("Series reported as NA."), QStringLiteral("SD,SU,AD,AU")},
        {QStringLiteral("missing"), QStringLiteral("Series left off the page."), QStringLiteral("SD,SU,AD,AU")},
        {QStringLiteral("non-numeric"), QStringLiteral("Series given a text that is no number."),
            QStringLiteral("SD,SU,AD,AU")},
        {QStringLiteral("auth"), QStringLiteral("Login the router asks for."), QStringLiteral("none|basic|digest"),
            QStringLiteral("none")},
        {QStringLiteral("user"), QStringLiteral("User name of the login."), QStringLiteral("NAME"),
            QStringLiteral("admin")},
        {QStringLiteral("password"), QStringLiteral("Password of the login."), QStringLiteral("TEXT"),
            QStringLiteral("admin")},
        {QStringLiteral("fault"), QStringLiteral("Misbehaviour of every answer."), QStringLiteral("KIND"),
            QStringLiteral("none")},
        {QStringLiteral("unknown-path"), QStringLiteral("Answer to any other path: the router's 501 page, or 404."),
            QStringLiteral("501|404"), QStringLiteral("501")},
        {QStringLiteral("slow-interval"), QStringLiteral("Milliseconds between bytes of the slow fault."),
            QStringLiteral("MS"), QStringLiteral("100")},
        {QStringLiteral("huge-mb"), QStringLiteral("Megabytes of the huge fault's body."), QStringLiteral("N"),
            QStringLiteral("32")},
    });
}

SimOptions optionsOf(const QCommandLineParser& parser)
{
    SimOptions options;
    options.port = static_cast<quint16>(positiveNumber(parser, QStringLiteral("port"), 0, 65535));
    options.pagePath = parser.value(QStringLiteral("page"));
    if (!options.pagePath.startsWith(QLatin1Char('/'))) {
        throw Problem{QStringLiteral("--page must begin with /")};
    }
    if (parser.isSet(QStringLiteral("values"))) {
        options.fixedValues = parser.value(QStringLiteral("values")).split(QLatin1Char(','));
        if (options.fixedValues.size() != 4) {
            throw Problem{QStringLiteral("--values takes exactly four texts")};
        }
    }
    options.drift = parser.isSet(QStringLiteral("drift"));
    options.seed = static_cast<quint32>(positiveNumber(parser, QStringLiteral("seed"), 0, 1 << 30));
    options.dropEvery = positiveNumber(parser, QStringLiteral("drop-every"), 0, 1 << 20);
    options.dropLength = positiveNumber(parser, QStringLiteral("drop-length"), 1, 1 << 20);
    options.naCodes = codeList(parser, QStringLiteral("na"));
    options.missingCodes = codeList(parser, QStringLiteral("missing"));
    options.nonNumericCodes = codeList(parser, QStringLiteral("non-numeric"));
    options.auth = authOf(parser.value(QStringLiteral("auth")));
    options.user = parser.value(QStringLiteral("user"));
    options.password = parser.value(QStringLiteral("password"));
    options.fault = faultOf(parser.value(QStringLiteral("fault")));
    const QString unknown = parser.value(QStringLiteral("unknown-path"));
    if (unknown != QLatin1String("501") && unknown != QLatin1String("404")) {
        throw Problem{QStringLiteral("--unknown-path takes 501 or 404")};
    }
    options.unknownPathIs404 = unknown == QLatin1String("404");
    options.slowIntervalMs = positiveNumber(parser, QStringLiteral("slow-interval"), 1, 60000);
    options.hugeMegabytes = positiveNumber(parser, QStringLiteral("huge-mb"), 1, 1024);
    return options;
}

} // namespace

std::optional<SimOptions> SimOptions::parse(const QStringList& arguments, int& exitCode)
{
    QCommandLineParser parser;
    addOptions(parser);
    QTextStream err(stderr);
    if (!parser.parse(arguments)) {
        err << parser.errorText() << "\n";
        exitCode = 2;
        return std::nullopt;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        QTextStream(stdout) << parser.helpText();
        exitCode = 0;
        return std::nullopt;
    }
    if (!parser.positionalArguments().isEmpty()) {
        err << "unexpected argument: " << parser.positionalArguments().first() << "\n";
        exitCode = 2;
        return std::nullopt;
    }
    try {
        return optionsOf(parser);
    } catch (const Problem& problem) {
        err << problem.text << "\n";
        exitCode = 2;
        return std::nullopt;
    }
}
