#include "router/PageFetcher.h"
#include "router/PageParser.h"
#include "stats/AppState.h"
#include "stats/LineStatTable.h"
#include "stats/StatusTexts.h"
#include "support/FakeTransfer.h"
#include "support/RecordingMessageBox.h"
#include "support/RecordingStatusLine.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

Q_DECLARE_METATYPE(TransferError)

namespace {

const QString valuesPage = QStringLiteral("<script>\nvar st_dw_snr_margin = \"12.5\";\n</script>\n");

// One fetcher over a canned transfer, and the parser and state it reports to.
struct FetchRig
{
    LineStatTable table;
    RecordingStatusLine status;
    RecordingMessageBox messageBox;
    AppState state;
    FakeTransfer transfer;
    PageParser parser{table, status, messageBox};
    PageFetcher fetcher{transfer, parser, status, state};
    QSignalSpy finished{&fetcher, &PageFetcher::finished};
};

FetchInputs inputs(const QString& port = QStringLiteral("80"))
{
    return {QStringLiteral("127.0.0.1"), port, QStringLiteral("admin"), QStringLiteral("secret")};
}

} // namespace

// One capture's fetch: what goes to the transfer, and what each outcome leaves in the status line
// and the state.
class TestPageFetcher : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_rig = std::make_unique<FetchRig>(); }
    void request_data();
    void request();
    void outcome_data();
    void outcome();

private:
    std::unique_ptr<FetchRig> m_rig;
};

void TestPageFetcher::request_data()
{
    QTest::addColumn<QString>("statsPage");
    QTest::addColumn<QString>("port");
    QTest::addColumn<int>("expected"); // 0: refused before any request
    QTest::addColumn<QString>("url");
    const QString page = QStringLiteral("/doc/adsl.htm");
    const QString url = QStringLiteral("http://127.0.0.1/doc/adsl.htm");
    QTest::newRow("page path without slash appended directly")
        << QStringLiteral("status.htm") << "80" << 80 << "http://127.0.0.1status.htm";
    const QList<std::pair<QString, int>> ports{{"65535", 65535}, {" 8080 ", 8080}, {"0080", 80}};
    for (const auto& [text, port] : ports)
        QTest::addRow("port \"%s\"", qPrintable(text)) << page << text << port << url;
    const QStringList noPorts{"", "0", "65536", "99999999999999999999", "-1", "+80", "8o", "\u0668\u0660"};
    for (const QString& text : noPorts)
        QTest::addRow("no port \"%s\"", qPrintable(text)) << page << text << 0 << url;
}

void TestPageFetcher::request()
{
    QFETCH(QString, statsPage);
    QFETCH(QString, port);
    QFETCH(int, expected);
    QFETCH(QString, url);
    m_rig->state.statsPage = statsPage;
    QVERIFY(m_rig->fetcher.fetchStatsPage(inputs(port)));

    if (expected == 0) {
        QCOMPARE(m_rig->transfer.openCount(), 0);
        QCOMPARE(m_rig->finished.size(), 1);
        QCOMPARE(m_rig->finished.first().first().toBool(), false);
        QCOMPARE(m_rig->status.last(), QString::fromLatin1(StatusTexts::portInvalid));
        QVERIFY(!m_rig->fetcher.isFetching());
        return;
    }
    QCOMPARE(m_rig->transfer.calls, QStringList({"port", "url", "user", "password", "open"}));
    QCOMPARE(m_rig->transfer.url, url);
    QCOMPARE(m_rig->transfer.port, quint16(expected));
    QCOMPARE(m_rig->transfer.userName + ' ' + m_rig->transfer.password, QStringLiteral("admin secret"));
    QCOMPARE(m_rig->status.texts, QStringList{StatusTexts::connecting});
}

// Transport failures without a status text of their own all read "cannot find the router".
void TestPageFetcher::outcome_data()
{
    QTest::addColumn<QString>("body");
    QTest::addColumn<TransferError>("error");
    QTest::addColumn<QString>("status");
    QTest::addColumn<bool>("debugView");
    const TransferError none = TransferError::None;
    QTest::newRow("page with values") << valuesPage << none << StatusTexts::routerFound << true;
    QTest::newRow("page with values, page text view off") << valuesPage << none << StatusTexts::routerFound << false;
    QTest::newRow("empty page") << "" << none << StatusTexts::cannotFindRouter << true;
    QTest::newRow("refused") << "" << TransferError::Refused << StatusTexts::cannotFindRouter << true;
    QTest::newRow("timed out") << "" << TransferError::TimedOut << StatusTexts::routerTimedOut << true;
    QTest::newRow("too large") << "" << TransferError::TooLarge << StatusTexts::replyTooLarge << true;
    QTest::newRow("login refusal page") << "Server Error: 401 Unauthorized" << none << StatusTexts::loginFailed << true;
    QTest::newRow("cancelled by the user") << "" << TransferError::Cancelled << StatusTexts::fetchCancelled << true;
}

// Every page that came is copied to the page-text box while that view is on, values or not.
void TestPageFetcher::outcome()
{
    QFETCH(QString, body);
    QFETCH(TransferError, error);
    QFETCH(QString, status);
    QFETCH(bool, debugView);
    m_rig->state.pageReceived = true;
    m_rig->state.debugView = debugView;
    QSignalSpy copies(&m_rig->fetcher, &PageFetcher::pageCopied);

    QVERIFY(m_rig->fetcher.fetchStatsPage(inputs()));
    QVERIFY(!m_rig->fetcher.fetchStatsPage(inputs())); // a second fetch while one runs starts nothing
    QVERIFY(!m_rig->state.pageReceived);
    if (error == TransferError::Cancelled)
        m_rig->fetcher.cancel();
    else
        m_rig->transfer.answer({body, error});

    QCOMPARE(m_rig->finished.size(), 1);
    QCOMPARE(m_rig->finished.first().first().toBool(), status == StatusTexts::routerFound);
    QCOMPARE(m_rig->status.texts.first(), QString::fromLatin1(StatusTexts::connecting));
    QCOMPARE(m_rig->status.texts.count(QString::fromLatin1(StatusTexts::connecting)), 1);
    QCOMPARE(m_rig->status.last(), status);
    QCOMPARE(m_rig->state.pageReceived, !body.isEmpty());
    QCOMPARE(m_rig->messageBox.texts.size(), status == StatusTexts::loginFailed ? 1 : 0);
    QCOMPARE(copies.size(), debugView && !body.isEmpty() ? 1 : 0);
    if (!copies.isEmpty())
        QCOMPARE(copies.first().first().toString(), body);
    QCOMPARE(m_rig->transfer.openCount(), 1);
    QVERIFY(m_rig->fetcher.fetchStatsPage(inputs()));
}

QTEST_GUILESS_MAIN(TestPageFetcher)
#include "TestPageFetcher.moc"
