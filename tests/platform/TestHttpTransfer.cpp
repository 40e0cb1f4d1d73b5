#include "platform/HttpTransfer.h"
#include "support/ProcessFigures.h"
#include "support/RouterSimulator.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

#include <memory>

Q_DECLARE_METATYPE(TransferError)
Q_DECLARE_METATYPE(TransferReply)

namespace {

// Short limits keep the failing cases quick; the real ones are far longer.
constexpr int testTimeoutMs = 1500;
constexpr qint64 testSizeCap = qint64{4} * 1024 * 1024;

// An empty URL stands for the simulator's status page; a request count of 0 is not checked.
void fetchRow(const char* name, const QStringList& options, TransferError error, const QString& bodyHolds,
    int requests = 0, const char* url = "")
{
    QTest::newRow(name) << options << QString::fromLatin1(url) << error << bodyHolds << requests;
}

// A loopback port on which nobody listens.
quint16 closedPort()
{
    QTcpServer server;
    server.listen(QHostAddress::LocalHost);
    return server.serverPort();
}

} // namespace

// The transfer against a real HTTP server on loopback: pages, logins, faults and limits.
class TestHttpTransfer : public QObject
{
    Q_OBJECT

    std::unique_ptr<RouterSimulator> m_simulator;
    std::unique_ptr<HttpTransfer> m_transfer;
    qsizetype m_threads = 0;
    qsizetype m_descriptors = 0;

    TransferReply fetchOnce(const QString& url)
    {
        QSignalSpy spy(m_transfer.get(), &Transfer::finished);
        m_transfer->setUrl(url);
        m_transfer->openUrl();
        m_transfer->openUrl(); // ignored while the first runs: the rows' request counts show it
        return spy.wait(15000) ? spy.first().first().value<TransferReply>()
                               : TransferReply{QString(), TransferError::Other};
    }

    // Starts the simulator and takes the figures that must be back to them once a fetch has ended.
    void startFetch(const QStringList& options)
    {
        QVERIFY2(m_simulator->start(options), qPrintable(m_simulator->errorText()));
        m_threads = ProcessFigures::threads();
        m_descriptors = ProcessFigures::openDescriptors();
    }

    // No thread, no socket and no reading survive the end of a request.
    void verifyNothingLeft()
    {
        QCOMPARE(ProcessFigures::threads(), m_threads);
        QVERIFY(ProcessFigures::openDescriptors() <= m_descriptors);
        const double before = ProcessFigures::cpuSeconds();
        QTest::qWait(500);
        // A request still reading after its end would use far more of a core than this.
        QCOMPARE_LT(1000 * (ProcessFigures::cpuSeconds() - before), 100.0);
    }

private slots:
    void initTestCase() { qRegisterMetaType<TransferReply>(); }

    void init()
    {
        m_simulator = std::make_unique<RouterSimulator>(QStringLiteral(LINEGAUGE_ROUTERSIM));
        m_transfer = std::make_unique<HttpTransfer>(testTimeoutMs, testSizeCap);
        m_transfer->setUserName(QStringLiteral("admin"));
        m_transfer->setPassword(QStringLiteral("secret"));
        // The transfer starts libcurl at its first fetch and keeps it; one refused fetch leaves only
        // that behind, so the figures taken next count what a request itself leaves.
        QCOMPARE(fetchOnce(QStringLiteral("http://127.0.0.1:%1/").arg(closedPort())).error, TransferError::Refused);
    }

    void fetch_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("url");
        QTest::addColumn<TransferError>("error");
        QTest::addColumn<QString>("bodyHolds"); // empty: no body at all
        QTest::addColumn<int>("requests");
        using E = TransferError;
        // Pages arrive in the router's single-byte code page, not in UTF-8.
        fetchRow("basic login right, page in the code page",
            {"--auth", "basic", "--password", "secret", "--values", "12\u00e9,1,2,3"}, E::None, u"\"12\u00e9\""_qs);
        fetchRow("login wrong: refusal handed over", {"--auth", "basic"}, E::None, "Server Error: 401 Unauthorized");
        fetchRow("redirect not followed", {"--fault", "redirect-loop"}, E::None, "Moved", 1);
        fetchRow("hanging router", {"--fault", "hang"}, E::TimedOut, "", 1);
        fetchRow("router trickling its reply", {"--fault", "slow", "--slow-interval", "200"}, E::TimedOut, "");
        fetchRow("huge reply", {"--fault", "huge", "--huge-mb", "8"}, E::TooLarge, "");
        fetchRow("truncated reply", {"--fault", "truncated"}, E::Other, "");
        fetchRow("digest stale every time", {"--fault", "auth-stale"}, E::Other, "", 3);
        fetchRow("endless headers", {"--fault", "endless-headers"}, E::TooLarge, "", 1);
        fetchRow("closed remote port", {}, E::Refused, "", 0, "http://127.0.0.1/doc/adsl.htm");
        fetchRow("other scheme, no request", {}, E::HostNotFound, "", 0, "ftp://127.0.0.1/doc");
    }

    // Every fetch ends within its time-out without holding up the event loop, and leaves nothing
    // running behind it; a hostile router neither swamps the program nor gets flooded with requests.
    void fetch()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, url);
        QFETCH(TransferError, error);
        QFETCH(QString, bodyHolds);
        QFETCH(int, requests);
        startFetch(options);
        // Where the URL names a port, it must win over the remote port, on which nobody listens.
        m_transfer->setRemotePort(closedPort());
        qint64 ticks = 0;
        QTimer ticker;
        connect(&ticker, &QTimer::timeout, this, [&ticks] { ++ticks; });
        ticker.start(50);
        const long residentBefore = ProcessFigures::residentKiB();
        QElapsedTimer clock;
        clock.start();

        const TransferReply reply = fetchOnce(url.isEmpty() ? m_simulator->pageUrl() : url);

        QCOMPARE(reply.error, error);
        QVERIFY2(bodyHolds.isEmpty() ? reply.body.isEmpty() : reply.body.contains(bodyHolds),
            qPrintable(reply.body.left(300)));
        QVERIFY(!m_transfer->isBusy());
        QCOMPARE_LT(clock.elapsed(), testTimeoutMs + 1000);
        QCOMPARE_GE(ticks, clock.elapsed() / 250);
        verifyNothingLeft();
        if (requests > 0) {
            QCOMPARE_LT(ProcessFigures::residentKiB() - residentBefore, 2048);
            QCOMPARE(m_simulator->stopAndCountRequests(), requests);
        }
    }

    // A login answered once is not answered again for free.
    void loginNotReused()
    {
        QVERIFY(m_simulator->start({"--auth", "digest", "--password", "secret"}));
        QVERIFY(fetchOnce(m_simulator->pageUrl()).body.contains(QStringLiteral("st_dw_snr_margin")));
        m_transfer->setPassword(QStringLiteral("changed"));
        QVERIFY(fetchOnce(m_simulator->pageUrl()).body.contains(QStringLiteral("401 Unauthorized")));
    }

    // The header cap holds for a reply that ends, not only against headers without end.
    void headersJustOverTheCap_areTooLarge()
    {
        QTcpServer server;
        QVERIFY(server.listen(QHostAddress::LocalHost));
        const QByteArray line = "X-Padding: " + QByteArray(100, 'x') + "\r\n";
        const QByteArray reply = "HTTP/1.1 200 OK\r\n" + line.repeated(int(HttpTransfer::headerCap / line.size()) + 1)
            + "Content-Length: 2\r\n\r\nok";
        connect(&server, &QTcpServer::newConnection, this,
            [&server, &reply] { server.nextPendingConnection()->write(reply); });
        QCOMPARE(
            fetchOnce(QStringLiteral("http://127.0.0.1:%1/").arg(server.serverPort())).error, TransferError::TooLarge);
    }

    // A cancel ends the request at once with one finished(); destroying the transfer mid-request
    // ends it without any.
    void endedDuringFetch_leavesNothing()
    {
        startFetch({"--fault", "slow", "--slow-interval", "20"});
        QSignalSpy spy(m_transfer.get(), &Transfer::finished);
        m_transfer->setUrl(m_simulator->pageUrl());
        m_transfer->openUrl();
        QTest::qWait(200);
        m_transfer->cancel();
        QCOMPARE(spy.size(), 1);
        QCOMPARE(spy.first().first().value<TransferReply>().error, TransferError::Cancelled);
        QVERIFY(!m_transfer->isBusy());
        verifyNothingLeft();

        m_transfer->openUrl();
        QTest::qWait(200);
        m_transfer.reset();
        verifyNothingLeft();
        QTest::qWait(testTimeoutMs);
        QCOMPARE(spy.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestHttpTransfer)
#include "TestHttpTransfer.moc"
