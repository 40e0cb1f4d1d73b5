#include "platform/HttpTransfer.h"
#include "support/ProcessFigures.h"
#include "support/RouterSimulator.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTest>
#include <QTimer>

#include <ctime>
#include <memory>

Q_DECLARE_METATYPE(TransferError)
Q_DECLARE_METATYPE(TransferReply)

namespace {

// Short limits keep the failing cases quick; the real ones are far longer.
constexpr int testTimeoutMs = 1500;
constexpr qint64 testSizeCap = qint64{4} * 1024 * 1024;
constexpr int waitMs = 15000;
// A request still reading after its end would use far more of a core than this in half a second.
constexpr double idleCpuMs = 100;

double cpuMs()
{
    return 1000.0 * double(std::clock()) / CLOCKS_PER_SEC;
}

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

private slots:
    void initTestCase();
    void init();
    void fetch_data();
    void fetch();
    void noServer_data();
    void noServer();
    void hostileRouterIsBounded_data();
    void hostileRouterIsBounded();
    void portInUrlWins();
    void credentialsAreNotReusedAcrossRequests();
    void eventLoopRunsDuringHangingFetch();
    void cancelEndsFetchAtOnce();
    void openWhileBusyStartsNothing();
    void destroyedDuringFetchEndsQuietly();

private:
    TransferReply fetchOnce(const QString& url);
    void verifyNothingLeftOf(qsizetype threads, qsizetype descriptors);

    std::unique_ptr<RouterSimulator> m_simulator;
    std::unique_ptr<HttpTransfer> m_transfer;
};

void TestHttpTransfer::initTestCase()
{
    qRegisterMetaType<TransferReply>();
}

void TestHttpTransfer::init()
{
    m_simulator = std::make_unique<RouterSimulator>(QStringLiteral(LINEGAUGE_ROUTERSIM));
    m_transfer = std::make_unique<HttpTransfer>(testTimeoutMs, testSizeCap);
}

TransferReply TestHttpTransfer::fetchOnce(const QString& url)
{
    QSignalSpy spy(m_transfer.get(), &Transfer::finished);
    m_transfer->setUrl(url);
    m_transfer->openUrl();
    if (!spy.wait(waitMs)) {
        return {QString(), TransferError::Other};
    }
    return spy.first().first().value<TransferReply>();
}

void TestHttpTransfer::fetch_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("password");
    QTest::addColumn<TransferError>("error");
    QTest::addColumn<QString>("bodyHolds");

    const QString key = QStringLiteral("var st_dw_snr_margin");
    const QString refused = QStringLiteral("Server Error: 401 Unauthorized");
    const QStringList basic = {"--auth", "basic", "--user", "admin", "--password", "secret"};
    const QStringList digest = {"--auth", "digest", "--user", "admin", "--password", "secret"};
    const TransferError none = TransferError::None;

    QTest::newRow("plain page") << QStringList() << "" << none << key;
    QTest::newRow("basic login right") << basic << "secret" << none << key;
    QTest::newRow("basic login wrong gives refusal page") << basic << "wrong" << none << refused;
    QTest::newRow("digest login right") << digest << "secret" << none << key;
    QTest::newRow("digest login wrong gives refusal page") << digest << "wrong" << none << refused;
    QTest::newRow("chunked page") << QStringList{"--fault", "chunked"} << "" << none << key;
    QTest::newRow("404 body handed over") << QStringList{"--fault", "404"} << "" << none << "404 Not Found";
    QTest::newRow("redirect not followed") << QStringList{"--fault", "redirect-loop"} << "" << none << "Moved";
    QTest::newRow("unknown path gives 501 page")
        << QStringList{"--page", "/other.htm"} << "" << none << "Server Error: 501 Not Implemented";
    QTest::newRow("single-byte code page, not UTF-8")
        << QStringList{"--values", QStringLiteral("12\u00e9,1,2,3")} << "" << none << QStringLiteral("\"12\u00e9\"");
    QTest::newRow("closed at once") << QStringList{"--fault", "refuse"} << "" << TransferError::Refused << "";
    QTest::newRow("hanging router") << QStringList{"--fault", "hang"} << "" << TransferError::TimedOut << "";
    QTest::newRow("slow router") << QStringList{"--fault", "slow", "--slow-interval", "200"} << ""
                                 << TransferError::TimedOut << "";
    QTest::newRow("huge reply") << QStringList{"--fault", "huge", "--huge-mb", "8"} << "" << TransferError::TooLarge
                                << "";
    QTest::newRow("garbage reply") << QStringList{"--fault", "garbage"} << "" << TransferError::Refused << "";
    QTest::newRow("truncated reply") << QStringList{"--fault", "truncated"} << "" << TransferError::Other << "";
}

void TestHttpTransfer::fetch()
{
    QFETCH(QStringList, options);
    QFETCH(QString, password);
    QFETCH(TransferError, error);
    QFETCH(QString, bodyHolds);

    QVERIFY2(m_simulator->start(options), qPrintable(m_simulator->errorText()));
    m_transfer->setUserName(QStringLiteral("admin"));
    m_transfer->setPassword(password);
    const TransferReply reply = fetchOnce(m_simulator->pageUrl());

    QCOMPARE(reply.error, error);
    if (bodyHolds.isEmpty()) {
        QVERIFY(reply.body.isEmpty());
    } else {
        QVERIFY2(reply.body.contains(bodyHolds), qPrintable(reply.body.left(300)));
    }
    QVERIFY(!m_transfer->isBusy());
}

void TestHttpTransfer::noServer_data()
{
    QTest::addColumn<QString>("url");
    QTest::addColumn<TransferError>("error");
    QTest::newRow("closed port is refused") << "http://127.0.0.1/doc/adsl.htm" << TransferError::Refused;
    QTest::newRow("malformed address fails without request") << "http:///doc/adsl.htm" << TransferError::HostNotFound;
}

void TestHttpTransfer::noServer()
{
    QFETCH(QString, url);
    QFETCH(TransferError, error);
    m_transfer->setRemotePort(closedPort());
    QCOMPARE(fetchOnce(url).error, error);
}

void TestHttpTransfer::verifyNothingLeftOf(qsizetype threads, qsizetype descriptors)
{
    // No thread, no socket and no reading survive the end of a request.
    QCOMPARE(ProcessFigures::threads(), threads);
    QVERIFY(ProcessFigures::openDescriptors() <= descriptors);
    const double cpuBefore = cpuMs();
    QTest::qWait(500);
    QVERIFY2(cpuMs() - cpuBefore < idleCpuMs, qPrintable(QString::number(cpuMs() - cpuBefore)));
}

void TestHttpTransfer::hostileRouterIsBounded_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<TransferError>("error");
    QTest::addColumn<int>("requests");

    QTest::newRow("digest stale every time") << QStringList{"--fault", "auth-stale"} << TransferError::Other << 3;
    QTest::newRow("new realm every time") << QStringList{"--fault", "auth-rotating"} << TransferError::None << 2;
    QTest::newRow("endless headers") << QStringList{"--fault", "endless-headers"} << TransferError::TooLarge << 1;
    QTest::newRow("endless 100 continue") << QStringList{"--fault", "endless-continue"} << TransferError::TooLarge << 1;
    QTest::newRow("hanging router") << QStringList{"--fault", "hang"} << TransferError::TimedOut << 1;
}

void TestHttpTransfer::hostileRouterIsBounded()
{
    QFETCH(QStringList, options);
    QFETCH(TransferError, error);
    QFETCH(int, requests);
    QVERIFY2(m_simulator->start(options), qPrintable(m_simulator->errorText()));
    const qsizetype threads = ProcessFigures::threads();
    const qsizetype descriptors = ProcessFigures::openDescriptors();
    const long residentBefore = ProcessFigures::residentKiB();
    m_transfer->setUserName(QStringLiteral("admin"));
    m_transfer->setPassword(QStringLiteral("secret"));

    QElapsedTimer clock;
    clock.start();
    QCOMPARE(fetchOnce(m_simulator->pageUrl()).error, error);
    QVERIFY2(clock.elapsed() < testTimeoutMs + 1000, qPrintable(QString::number(clock.elapsed())));
    verifyNothingLeftOf(threads, descriptors);
    QVERIFY2(ProcessFigures::residentKiB() - residentBefore < 2048,
        qPrintable(QString::number(ProcessFigures::residentKiB() - residentBefore)));
    QCOMPARE(m_simulator->stopAndCountRequests(), requests);
}

void TestHttpTransfer::portInUrlWins()
{
    QVERIFY(m_simulator->start({}));
    m_transfer->setRemotePort(closedPort());
    const TransferReply reply = fetchOnce(m_simulator->pageUrl());
    QCOMPARE(reply.error, TransferError::None);
    QVERIFY(reply.body.contains(QStringLiteral("st_up_snr_margin")));
}

void TestHttpTransfer::credentialsAreNotReusedAcrossRequests()
{
    QVERIFY(m_simulator->start({"--auth", "digest", "--user", "admin", "--password", "secret"}));
    m_transfer->setUserName(QStringLiteral("admin"));
    m_transfer->setPassword(QStringLiteral("secret"));
    QVERIFY(fetchOnce(m_simulator->pageUrl()).body.contains(QStringLiteral("st_dw_snr_margin")));

    m_transfer->setPassword(QStringLiteral("changed"));
    QVERIFY(fetchOnce(m_simulator->pageUrl()).body.contains(QStringLiteral("401 Unauthorized")));
}

void TestHttpTransfer::eventLoopRunsDuringHangingFetch()
{
    QVERIFY(m_simulator->start({"--fault", "hang"}));
    int ticks = 0;
    QTimer ticker;
    connect(&ticker, &QTimer::timeout, this, [&ticks] { ++ticks; });
    ticker.start(50);

    QCOMPARE(fetchOnce(m_simulator->pageUrl()).error, TransferError::TimedOut);
    QVERIFY2(ticks >= 5, qPrintable(QString::number(ticks)));
}

void TestHttpTransfer::cancelEndsFetchAtOnce()
{
    QVERIFY(m_simulator->start({"--fault", "hang"}));
    const qsizetype threads = ProcessFigures::threads();
    const qsizetype descriptors = ProcessFigures::openDescriptors();
    QSignalSpy spy(m_transfer.get(), &Transfer::finished);
    m_transfer->setUrl(m_simulator->pageUrl());
    m_transfer->openUrl();
    QTest::qWait(200);

    m_transfer->cancel();
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.first().first().value<TransferReply>().error, TransferError::Cancelled);
    QVERIFY(!m_transfer->isBusy());
    verifyNothingLeftOf(threads, descriptors);
    QTest::qWait(testTimeoutMs);
    QCOMPARE(spy.size(), 1);
}

void TestHttpTransfer::openWhileBusyStartsNothing()
{
    QVERIFY(m_simulator->start({}));
    QSignalSpy spy(m_transfer.get(), &Transfer::finished);
    m_transfer->setUrl(m_simulator->pageUrl());
    m_transfer->openUrl();
    m_transfer->openUrl();
    QVERIFY(spy.wait(waitMs));
    QTest::qWait(300);
    QCOMPARE(spy.size(), 1);
    QCOMPARE(spy.first().first().value<TransferReply>().error, TransferError::None);
}

void TestHttpTransfer::destroyedDuringFetchEndsQuietly()
{
    QVERIFY(m_simulator->start({"--fault", "slow", "--slow-interval", "20"}));
    const qsizetype threads = ProcessFigures::threads();
    const qsizetype descriptors = ProcessFigures::openDescriptors();
    QSignalSpy spy(m_transfer.get(), &Transfer::finished);
    m_transfer->setUrl(m_simulator->pageUrl());
    m_transfer->openUrl();
    QTest::qWait(200);

    m_transfer.reset();
    verifyNothingLeftOf(threads, descriptors);
    QCOMPARE(spy.size(), 0);
}

QTEST_GUILESS_MAIN(TestHttpTransfer)
#include "TestHttpTransfer.moc"
