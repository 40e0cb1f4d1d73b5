#include "platform/HttpTransfer.h"
#include "router/PageFetcher.h"
#include "router/PageParser.h"
#include "stats/AppState.h"
#include "stats/LineStatTable.h"
#include "stats/StatusTexts.h"
#include "support/FakeTransfer.h"
#include "support/RecordingMessageBox.h"
#include "support/RecordingStatusLine.h"
#include "support/RouterSimulator.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

Q_DECLARE_METATYPE(TransferError)

namespace {

const QString valuesPage = QStringLiteral("<script>\nvar st_dw_snr_margin = \"12.5\";\n"
                                          "var st_up_snr_margin = \"9.0\";\n</script>\n");

FetchInputs inputs(const QString& port = QStringLiteral("80"))
{
    return {QStringLiteral("127.0.0.1"), port, QStringLiteral("admin"), QStringLiteral("secret")};
}

void outcomeRow(const char* name, const QString& body, TransferError error, const char* status, int messageBoxes = 0)
{
    const QString text = QString::fromLatin1(status);
    QTest::newRow(name) << body << error << (text == StatusTexts::routerFound) << text << !body.isEmpty()
                        << messageBoxes;
}

void simulatorRow(const char* name, const QStringList& options, const char* status, const char* password = "secret")
{
    const QString text = QString::fromLatin1(status);
    QTest::newRow(name) << options << QString::fromLatin1(password) << (text == StatusTexts::routerFound) << text;
}

} // namespace

// One capture's fetch: what goes to the transfer, what each outcome leaves in the status line and
// the state, and the same against a real router simulator with every fault it can play.
class TestPageFetcher : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void request_data();
    void request();
    void portText_data();
    void portText();
    void outcome_data();
    void outcome();
    void pageCopiedOnlyInPageTextView_data();
    void pageCopiedOnlyInPageTextView();
    void secondFetchWhileRunningStartsNothing();
    void cancelEndsRunningFetch();
    void againstSimulator_data();
    void againstSimulator();

private:
    std::unique_ptr<LineStatTable> m_table;
    std::unique_ptr<RecordingStatusLine> m_status;
    std::unique_ptr<RecordingMessageBox> m_messageBox;
    std::unique_ptr<PageParser> m_parser;
    std::unique_ptr<AppState> m_state;
    std::unique_ptr<FakeTransfer> m_transfer;
    std::unique_ptr<PageFetcher> m_fetcher;
};

void TestPageFetcher::init()
{
    m_table = std::make_unique<LineStatTable>();
    m_status = std::make_unique<RecordingStatusLine>();
    m_messageBox = std::make_unique<RecordingMessageBox>();
    m_parser = std::make_unique<PageParser>(*m_table, *m_status, *m_messageBox);
    m_state = std::make_unique<AppState>();
    m_transfer = std::make_unique<FakeTransfer>();
    m_fetcher = std::make_unique<PageFetcher>(*m_transfer, *m_parser, *m_status, *m_state);
}

void TestPageFetcher::request_data()
{
    QTest::addColumn<QString>("address");
    QTest::addColumn<QString>("statsPage");
    QTest::addColumn<QString>("url");

    QTest::newRow("default page path") << "127.0.0.1" << QStringLiteral("/doc/adsl.htm")
                                       << QStringLiteral("http://127.0.0.1/doc/adsl.htm");
    QTest::newRow("address with its own port stays unchanged")
        << "127.0.0.1:8080" << QStringLiteral("/doc/adsl.htm") << QStringLiteral("http://127.0.0.1:8080/doc/adsl.htm");
    QTest::newRow("page path without slash appended directly")
        << "127.0.0.1" << QStringLiteral("status.htm") << QStringLiteral("http://127.0.0.1status.htm");
}

void TestPageFetcher::request()
{
    QFETCH(QString, address);
    QFETCH(QString, statsPage);
    QFETCH(QString, url);
    m_state->statsPage = statsPage;
    FetchInputs fetch = inputs(QStringLiteral("8081"));
    fetch.address = address;

    QVERIFY(m_fetcher->fetchStatsPage(fetch));

    QCOMPARE(m_transfer->calls, QStringList({"port", "url", "user", "password", "open"}));
    QCOMPARE(m_transfer->url, url);
    QCOMPARE(m_transfer->port, quint16(8081));
    QCOMPARE(m_transfer->userName, QStringLiteral("admin"));
    QCOMPARE(m_transfer->password, QStringLiteral("secret"));
    QCOMPARE(m_status->texts, QStringList{StatusTexts::connecting});
}

void TestPageFetcher::portText_data()
{
    QTest::addColumn<QString>("port");
    QTest::addColumn<int>("expected"); // 0: refused before any request

    QTest::newRow("usual port") << "80" << 80;
    QTest::newRow("port above 32767") << "65535" << 65535;
    QTest::newRow("lowest port") << "1" << 1;
    QTest::newRow("blanks around") << " 8080 " << 8080;
    QTest::newRow("leading zeros") << "0080" << 80;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("zero") << "0" << 0;
    QTest::newRow("above the port range") << "65536" << 0;
    QTest::newRow("far above the port range") << "99999999999999999999" << 0;
    QTest::newRow("negative") << "-1" << 0;
    QTest::newRow("plus sign") << "+80" << 0;
    QTest::newRow("letter in it") << "8o" << 0;
    QTest::newRow("blank inside") << "80 80" << 0;
    QTest::newRow("other script digits") << QStringLiteral("\u0668\u0660") << 0;
}

void TestPageFetcher::portText()
{
    QFETCH(QString, port);
    QFETCH(int, expected);
    QSignalSpy finished(m_fetcher.get(), &PageFetcher::finished);
    m_transfer->cannedReplies.append({valuesPage, TransferError::None});

    QVERIFY(m_fetcher->fetchStatsPage(inputs(port)));

    QCOMPARE(finished.size(), 1);
    if (expected == 0) {
        QCOMPARE(m_transfer->openCount(), 0);
        QCOMPARE(finished.first().first().toBool(), false);
        QCOMPARE(m_status->last(), QString::fromLatin1(StatusTexts::portInvalid));
    } else {
        QCOMPARE(m_transfer->port, quint16(expected));
        QCOMPARE(finished.first().first().toBool(), true);
    }
    QVERIFY(!m_fetcher->isFetching());
}

void TestPageFetcher::outcome_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<TransferError>("error");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("pageReceived");
    QTest::addColumn<int>("messageBoxes");

    const TransferError none = TransferError::None;
    const char* notFound = StatusTexts::cannotFindRouter;
    outcomeRow("page with values", valuesPage, none, StatusTexts::routerFound);
    outcomeRow("empty page", "", none, notFound);
    outcomeRow("refused", "", TransferError::Refused, notFound);
    outcomeRow("host not found", "", TransferError::HostNotFound, notFound);
    outcomeRow("other transport failure", "", TransferError::Other, notFound);
    outcomeRow("timed out", "", TransferError::TimedOut, StatusTexts::routerTimedOut);
    outcomeRow("too large", "", TransferError::TooLarge, StatusTexts::replyTooLarge);
    outcomeRow("login refusal page", "<h1>Server Error: 401 Unauthorized</h1>", none, StatusTexts::loginFailed, 1);
    outcomeRow("page without keys", "<html></html>", none, StatusTexts::noValues);
}

void TestPageFetcher::outcome()
{
    QFETCH(QString, body);
    QFETCH(TransferError, error);
    QFETCH(bool, ok);
    QFETCH(QString, status);
    QFETCH(bool, pageReceived);
    QFETCH(int, messageBoxes);
    m_state->pageReceived = true;
    QSignalSpy finished(m_fetcher.get(), &PageFetcher::finished);

    QVERIFY(m_fetcher->fetchStatsPage(inputs()));
    QVERIFY(!m_state->pageReceived);
    m_transfer->answer({body, error});

    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished.first().first().toBool(), ok);
    QCOMPARE(m_status->texts.first(), QString::fromLatin1(StatusTexts::connecting));
    QCOMPARE(m_status->last(), status);
    QCOMPARE(m_state->pageReceived, pageReceived);
    QCOMPARE(m_messageBox->texts.size(), messageBoxes);
}

void TestPageFetcher::pageCopiedOnlyInPageTextView_data()
{
    QTest::addColumn<bool>("debugView");
    QTest::addColumn<QString>("body");
    QTest::addColumn<bool>("copied");

    QTest::newRow("view on, page with values") << true << valuesPage << true;
    QTest::newRow("view on, page without values") << true << "<html>nothing</html>" << true;
    QTest::newRow("view on, empty page") << true << "" << false;
    QTest::newRow("view off") << false << valuesPage << false;
}

void TestPageFetcher::pageCopiedOnlyInPageTextView()
{
    QFETCH(bool, debugView);
    QFETCH(QString, body);
    QFETCH(bool, copied);
    m_state->debugView = debugView;
    QSignalSpy copies(m_fetcher.get(), &PageFetcher::pageCopied);

    m_fetcher->fetchStatsPage(inputs());
    m_transfer->answer({body, TransferError::None});

    QCOMPARE(copies.size(), copied ? 1 : 0);
    if (copied) {
        QCOMPARE(copies.first().first().toString(), body);
    }
}

void TestPageFetcher::secondFetchWhileRunningStartsNothing()
{
    QSignalSpy finished(m_fetcher.get(), &PageFetcher::finished);
    QVERIFY(m_fetcher->fetchStatsPage(inputs()));

    QVERIFY(!m_fetcher->fetchStatsPage(inputs()));
    QCOMPARE(m_transfer->openCount(), 1);
    QCOMPARE(m_status->texts.size(), 1);

    m_transfer->answer({valuesPage, TransferError::None});
    QCOMPARE(finished.size(), 1);
    QVERIFY(m_fetcher->fetchStatsPage(inputs()));
}

void TestPageFetcher::cancelEndsRunningFetch()
{
    QSignalSpy finished(m_fetcher.get(), &PageFetcher::finished);
    m_fetcher->fetchStatsPage(inputs());

    m_fetcher->cancel();

    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished.first().first().toBool(), false);
    QCOMPARE(m_status->last(), QString::fromLatin1(StatusTexts::fetchCancelled));
    QVERIFY(!m_fetcher->isFetching());
}

void TestPageFetcher::againstSimulator_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("password");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("status");

    const QStringList digest = {"--auth", "digest", "--user", "admin", "--password", "secret"};
    const QStringList basic = {"--auth", "basic", "--user", "admin", "--password", "secret"};
    const char* found = StatusTexts::routerFound;
    const char* notFound = StatusTexts::cannotFindRouter;
    const char* timedOut = StatusTexts::routerTimedOut;

    simulatorRow("drifting values", {"--drift", "--seed", "7"}, found);
    simulatorRow("NA values", {"--na", "SD,AU"}, found);
    simulatorRow("some keys missing", {"--missing", "SU,AD"}, found);
    simulatorRow("all keys missing", {"--missing", "SD,SU,AD,AU"}, StatusTexts::noValues);
    simulatorRow("non-numeric values", {"--non-numeric", "SD"}, found);
    simulatorRow("digest login right", digest, found);
    simulatorRow("digest login wrong", digest, StatusTexts::loginFailed, "wrong");
    simulatorRow("basic login right", basic, found);
    simulatorRow("basic login wrong", basic, StatusTexts::loginFailed, "wrong");
    simulatorRow("unknown page path", {"--page", "/other.htm"}, StatusTexts::pageMissing);
    simulatorRow("refusal page with status 200", {"--fault", "page401"}, StatusTexts::loginFailed);
    simulatorRow("missing-page page with status 200", {"--fault", "page501"}, StatusTexts::pageMissing);
    simulatorRow("chunked page", {"--fault", "chunked"}, found);
    simulatorRow("closed at once", {"--fault", "refuse"}, notFound);
    simulatorRow("hanging router", {"--fault", "hang"}, timedOut);
    simulatorRow("slow router", {"--fault", "slow", "--slow-interval", "200"}, timedOut);
    simulatorRow("huge reply", {"--fault", "huge", "--huge-mb", "8"}, StatusTexts::replyTooLarge);
    simulatorRow("garbage reply", {"--fault", "garbage"}, notFound);
    simulatorRow("truncated reply", {"--fault", "truncated"}, notFound);
    simulatorRow("404", {"--fault", "404"}, StatusTexts::noValues);
    simulatorRow("redirect loop not followed", {"--fault", "redirect-loop"}, StatusTexts::noValues);
}

void TestPageFetcher::againstSimulator()
{
    QFETCH(QStringList, options);
    QFETCH(QString, password);
    QFETCH(bool, ok);
    QFETCH(QString, status);
    RouterSimulator simulator(QStringLiteral(LINEGAUGE_ROUTERSIM));
    QVERIFY2(simulator.start(options), qPrintable(simulator.errorText()));
    HttpTransfer transfer(1500);
    PageFetcher fetcher(transfer, *m_parser, *m_status, *m_state);
    QSignalSpy finished(&fetcher, &PageFetcher::finished);

    const FetchInputs fetch{
        QStringLiteral("127.0.0.1"), QString::number(simulator.port()), QStringLiteral("admin"), password};
    QVERIFY(fetcher.fetchStatsPage(fetch));
    QVERIFY(finished.wait(15000));

    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished.first().first().toBool(), ok);
    QCOMPARE(m_status->last(), status);
}

QTEST_GUILESS_MAIN(TestPageFetcher)
#include "TestPageFetcher.moc"
