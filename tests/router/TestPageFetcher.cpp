#include "router/PageFetcher.h"
#include "stats/StatusTexts.h"
#include "support/FakeTransfer.h"
#include "support/RecordingStatusLine.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

Q_DECLARE_METATYPE(TransferError)

namespace {

// One fetcher over a canned transfer, and what it reports.
struct FetchRig
{
    RecordingStatusLine status;
    FakeTransfer transfer;
    PageFetcher fetcher{transfer, status};
    QSignalSpy fetched{&fetcher, &PageFetcher::pageFetched};
    QSignalSpy failed{&fetcher, &PageFetcher::fetchFailed};
};

FetchInputs inputs(
    const QString& port = QStringLiteral("80"), const QString& pagePath = QStringLiteral("/doc/adsl.htm"))
{
    return {QStringLiteral("127.0.0.1"), port, QStringLiteral("admin"), QStringLiteral("secret"), pagePath};
}

} // namespace

// One capture's fetch: what goes to the transfer, and what each outcome hands back.
class TestPageFetcher : public QObject
{
    Q_OBJECT

    std::unique_ptr<FetchRig> m_rig;

private slots:
    void init() { m_rig = std::make_unique<FetchRig>(); }

    void request_data()
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

    void request()
    {
        QFETCH(QString, statsPage);
        QFETCH(QString, port);
        QFETCH(int, expected);
        QFETCH(QString, url);
        QVERIFY(m_rig->fetcher.fetchStatsPage(inputs(port, statsPage)));
        QCOMPARE(m_rig->status.texts, QStringList{StatusTexts::connecting});
        if (expected == 0) {
            QCOMPARE(m_rig->transfer.openCount(), 0);
            QCOMPARE(m_rig->fetched.size(), 0);
            QCOMPARE(m_rig->failed.first().first().toString(), QString::fromLatin1(StatusTexts::portInvalid));
            QVERIFY(!m_rig->fetcher.isFetching());
            return;
        }
        QCOMPARE(m_rig->transfer.calls, QStringList({"port", "url", "user", "password", "open"}));
        QCOMPARE(m_rig->transfer.url, url);
        QCOMPARE(m_rig->transfer.port, quint16(expected));
        QCOMPARE(m_rig->transfer.userName + ' ' + m_rig->transfer.password, QStringLiteral("admin secret"));
    }

    // Every page is handed over as it came, error replies too; other failures give their status text.
    void outcome_data()
    {
        QTest::addColumn<QString>("body");
        QTest::addColumn<TransferError>("error");
        QTest::addColumn<QString>("reason"); // empty: the page was handed over
        const TransferError none = TransferError::None;
        QTest::newRow("page with values") << "var st_dw_snr_margin = \"12.5\";" << none << QString();
        QTest::newRow("login refusal page") << "Server Error: 401 Unauthorized" << none << QString();
        QTest::newRow("empty page") << "" << none << StatusTexts::cannotFindRouter;
        QTest::newRow("refused") << "" << TransferError::Refused << StatusTexts::cannotFindRouter;
        QTest::newRow("timed out") << "" << TransferError::TimedOut << StatusTexts::routerTimedOut;
        QTest::newRow("too large") << "" << TransferError::TooLarge << StatusTexts::replyTooLarge;
        QTest::newRow("cancelled by the user") << "" << TransferError::Cancelled << StatusTexts::fetchCancelled;
    }

    void outcome()
    {
        QFETCH(QString, body);
        QFETCH(TransferError, error);
        QFETCH(QString, reason);
        QVERIFY(m_rig->fetcher.fetchStatsPage(inputs()));
        QVERIFY(!m_rig->fetcher.fetchStatsPage(inputs())); // a second fetch while one runs starts nothing
        if (error == TransferError::Cancelled)
            m_rig->fetcher.cancel();
        else
            m_rig->transfer.answer({body, error});
        QCOMPARE(m_rig->fetched.size() + m_rig->failed.size(), 1);
        if (reason.isEmpty())
            QCOMPARE(m_rig->fetched.first().first().toString(), body);
        else
            QCOMPARE(m_rig->failed.first().first().toString(), reason);
        QCOMPARE(m_rig->status.texts, QStringList{StatusTexts::connecting});
        QCOMPARE(m_rig->transfer.openCount(), 1);
        QVERIFY(m_rig->fetcher.fetchStatsPage(inputs()));
    }
};

QTEST_GUILESS_MAIN(TestPageFetcher)
#include "TestPageFetcher.moc"
