#include "router/PageFetcher.h"
#include "router/PageParser.h"
#include "router/TextBetween.h"
#include "stats/LineStatTable.h"
#include "stats/StatusTexts.h"
#include "support/FakeTransfer.h"
#include "support/FileBytes.h"
#include "support/RecordingMessageBox.h"
#include "support/RecordingStatusLine.h"

#include <QLocale>
#include <QSignalSpy>
#include <QTest>

#include <memory>

Q_DECLARE_METATYPE(TransferError)

namespace {

// What the table holds from an earlier capture, so that "kept" is told apart from "reset".
const QStringList previousTexts{"10.0", "5.0", "30.0", "15.0"};

// One fetcher over a canned transfer and a parser over the table of an earlier capture, and what
// they report.
struct Rig
{
    Rig()
    {
        for (std::size_t i = 0; i < std::size_t(statCount); ++i) {
            table.valueTexts.at(i) = previousTexts.at(qsizetype(i));
            table.currentValues.at(i) = previousTexts.at(qsizetype(i)).toFloat();
        }
    }

    LineStatTable table;
    RecordingStatusLine status;
    RecordingMessageBox messageBox;
    FakeTransfer transfer;
    PageFetcher fetcher{transfer, status};
    QSignalSpy fetched{&fetcher, &PageFetcher::pageFetched};
    QSignalSpy failed{&fetcher, &PageFetcher::fetchFailed};

    bool fetch(const QString& port = QStringLiteral("80"), const QString& pagePath = QStringLiteral("/doc/adsl.htm"))
    {
        return fetcher.fetchStatsPage({u"127.0.0.1"_qs, port, u"admin"_qs, u"secret"_qs, pagePath});
    }
    QString failure() const { return failed.isEmpty() ? QString() : failed.first().first().toString(); }

    std::optional<PageReading> parse(const QString& page)
    {
        std::optional<PageReading> reading = PageParser(status, messageBox).parseStatsPage(page);
        if (reading)
            table.takePage(*reading);
        return reading;
    }
};

QString fixture(const char* name)
{
    return QString::fromLatin1(fileBytes(QStringLiteral(LINEGAUGE_TEST_DATA "/pages/") + QLatin1String(name)));
}

QString keyLine(const char* key, const QString& value)
{
    return QStringLiteral("var %1 = \"%2\";").arg(QLatin1String(key), value);
}

// An error reply or a page without keys leaves the earlier capture's texts and values in place.
void row(
    const char* name, const QString& page, const QStringList& texts, const QString& status = StatusTexts::routerFound)
{
    QTest::newRow(name) << page << status << texts;
}

} // namespace

// One capture's router page: what the fetch hands to the transfer and back from each outcome, and how
// pages of every shape end in the right values, status texts and message box, in any locale.
class TestRouterPage : public QObject
{
    Q_OBJECT

    std::unique_ptr<Rig> m_rig;

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void init() { m_rig = std::make_unique<Rig>(); }

    void request_data()
    {
        QTest::addColumn<QString>("statsPage");
        QTest::addColumn<QString>("port");
        QTest::addColumn<int>("expected"); // 0: refused before any request
        QTest::addColumn<QString>("url");
        const QString page = QStringLiteral("/doc/adsl.htm");
        QTest::newRow("page path without slash appended directly") << "status.htm"
                                                                   << "80" << 80 << "http://127.0.0.1status.htm";
        const QList<std::pair<QString, int>> ports{{"65535", 65535}, {" 8080 ", 8080}, {"0080", 80}};
        for (const auto& [text, port] : ports)
            QTest::addRow("port \"%s\"", qPrintable(text)) << page << text << port << "http://127.0.0.1/doc/adsl.htm";
        for (const char* text : {"", "0", "65536", "99999999999999999999", "-1", "+80", "8o", "\u0668\u0660"})
            QTest::addRow("no port \"%s\"", text) << page << text << 0 << QString();
    }

    // A port text that is no port ends the fetch at once, before the transfer hears of it.
    void request()
    {
        QFETCH(QString, statsPage);
        QFETCH(QString, port);
        QFETCH(int, expected);
        QFETCH(QString, url);
        QVERIFY(m_rig->fetch(port, statsPage));
        QCOMPARE(m_rig->status.texts, QStringList{StatusTexts::connecting});
        QCOMPARE(m_rig->failure(), expected ? QString() : QString::fromLatin1(StatusTexts::portInvalid));
        QCOMPARE(m_rig->fetcher.isFetching(), expected != 0);
        QCOMPARE(
            m_rig->transfer.calls, expected ? QStringList({"port", "url", "user", "password", "open"}) : QStringList());
        QCOMPARE(m_rig->transfer.url, url);
        QCOMPARE(m_rig->transfer.port, quint16(expected));
        QCOMPARE(m_rig->transfer.userName + m_rig->transfer.password, expected ? u"adminsecret"_qs : QString());
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

    // A second fetch while one runs starts nothing; once it ended, the next one starts.
    void outcome()
    {
        QFETCH(QString, body);
        QFETCH(TransferError, error);
        QFETCH(QString, reason);
        QVERIFY(m_rig->fetch());
        QVERIFY(!m_rig->fetch());
        if (error == TransferError::Cancelled)
            m_rig->fetcher.cancel();
        else
            m_rig->transfer.answer({body, error});
        QCOMPARE(m_rig->fetched.size() + m_rig->failed.size(), 1);
        QCOMPARE(m_rig->failure(), reason);
        QCOMPARE(m_rig->fetched.isEmpty() ? QString() : m_rig->fetched.first().first().toString(),
            reason.isEmpty() ? body : QString());
        QCOMPARE(m_rig->status.texts, QStringList{StatusTexts::connecting});
        QCOMPARE(m_rig->transfer.openCount(), 1);
        QVERIFY(m_rig->fetch());
    }

    // Sample pages written the way router firmware does, then hand-made hostile ones.
    void pages_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("status");
        QTest::addColumn<QStringList>("texts");
        row("full page, line feeds", fixture("adsl_lf.htm"), {"12.3", "9.8", "38.5", "21.0"});
        row("training line, all NA", fixture("adsl_na.htm"), {"NA", "na", "NA", "Na"});
        row("longer keys after the real ones win", fixture("adsl_extra_keys.htm"), {"4.0", "3.5", "44.0", "25.5"});
        const QString dw = keyLine("st_dw_snr_margin", "3.5");
        const QString up = keyLine("st_up_snr_margin", "2.5");
        const QString upAtt = keyLine("st_up_line_attenuation", "20.5");
        const QString nul(QChar(u'\0'));
        const QString missing = QStringLiteral("Server Error: 501 Not Implemented");
        const QStringList upAttOnly{"10.0", "5.0", "30.0", "20.5"};
        const QStringList& kept = previousTexts;
        row("empty page", QString(), kept, StatusTexts::noValues);
        row("tab instead of the space", "var\tst_dw_snr_margin = \"3.5\";", kept, StatusTexts::noValues);
        row("binary around a key line", nul + "\xff\x01\n" + nul + dw + nul + "\n\x80", {"3.5", "5.0", "30.0", "15.0"});
        row("CR-only line: first table key wins", upAtt + "\r" + up + "\r" + dw, {"20.5", "5.0", "30.0", "15.0"});
        row("mixed line ends", dw + "\r\n" + up + "\n" + keyLine("st_dw_line_attenuation", "41.5") + "\n\r\n" + upAtt,
            {"3.5", "2.5", "41.5", "20.5"});
        row("keys in capitals, inside other words", "VAR ST_DW_SNR_MARGIN = \"3.5\";\nmyVar St_Up_Snr_Marginal=\"2.5\"",
            {"3.5", "2.5", "30.0", "15.0"});
        row("first quotes win", "x = \"a\"; var st_up_snr_margin = \"7.5\";", {"10.0", "a", "30.0", "15.0"});
        const QString login = StatusTexts::loginFailed;
        row("login error first, missing-page text after", "server error: 401 unauthorized\n" + missing, kept, login);
        row("missing-page text before the login error", missing + "\nServer Error: 401 Unauthorized", kept, login);
        row("error reply after colons and key lines", dw + "\na:b::c: SERVER ERROR: 501 NOT IMPLEMENTED:\n" + up, kept,
            StatusTexts::pageMissing);
        row("error text split over lines", "Server Error:\n401 Unauthorized\n" + upAtt, upAttOnly);
        row("megabytes of lines", QStringLiteral("var st_other = \"1\";\r\n").repeated(200000) + upAtt, upAttOnly);
        row("a million v characters", QString(1000000, u'v') + upAtt, upAttOnly);
        row("a million colons", QString(1000000, u':') + upAtt, upAttOnly);
        row("many key leads without keys", QStringLiteral("var var var ").repeated(100000) + upAtt, upAttOnly);
    }

    // A plain decimal text becomes the current value; any other keeps the earlier one. Only an error
    // reply shows a message box.
    void pages()
    {
        QFETCH(QString, page);
        QFETCH(QString, status);
        QFETCH(QStringList, texts);
        QCOMPARE(m_rig->parse(page).has_value(), status == StatusTexts::routerFound);
        QCOMPARE(QStringList(m_rig->table.valueTexts.begin(), m_rig->table.valueTexts.end()), texts);
        for (qsizetype i = 0; i < statCount; ++i) {
            bool number = false;
            const float parsed = texts.at(i).toFloat(&number);
            QCOMPARE(m_rig->table.currentValues.at(std::size_t(i)), number ? parsed : previousTexts.at(i).toFloat());
        }
        QCOMPARE(m_rig->status.texts,
            status == StatusTexts::routerFound ? QStringList{status} : QStringList({StatusTexts::routerFound, status}));
        const bool box = status == StatusTexts::loginFailed || status == StatusTexts::pageMissing;
        QCOMPARE(m_rig->messageBox.titles + m_rig->messageBox.texts,
            box ? QStringList({StatusTexts::appTitle, status}) : QStringList());
    }

    // A later line's text for the key wins when it is a plain number; anything else keeps the 3.5.
    void numberSyntax_data()
    {
        QTest::addColumn<QString>("valueText");
        QTest::addColumn<float>("current");
        const QList<std::pair<QString, float>> numbers{{"12.3", 12.3f}, {"-0.5", -0.5f}, {"+1", 1.0f},
            {" \t12.3 ", 12.3f}, {".5", 0.5f}, {"5.", 5.0f}, {"1.5e1", 15.0f}, {"3.4e38", 3.4e38f}};
        for (const auto& [text, value] : numbers)
            QTest::addRow("number \"%s\"", qPrintable(text)) << text << value;
        const QStringList noNumbers{"", " NA ", "12,3", "12.3 dB", "1.2.3", "-", ".", "1e", "0x1A", "NaN", "inf",
            "1e39", "1e-50", QString(400, u'9'), QString::fromUtf16(u"\u0661\u0662")};
        for (const QString& text : noNumbers)
            QTest::addRow("no number \"%s\"", qPrintable(text.left(20))) << text << 3.5f;
    }

    void numberSyntax()
    {
        QFETCH(QString, valueText);
        QFETCH(float, current);
        QVERIFY(m_rig->parse(keyLine("st_dw_snr_margin", "3.5") + "\n" + keyLine("st_dw_snr_margin", valueText)));
        QCOMPARE(m_rig->table.valueTexts[0], valueText);
        QCOMPARE(m_rig->table.currentValues[0], current);
    }

    // The case-blind cut that takes every value off its line.
    void textBetween_data()
    {
        QTest::addColumn<QStringList>("markers"); // start, end
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("from");
        QTest::addColumn<QString>("expected");
        QTest::newRow("quoted value") << QStringList{"\"", "\""} << "var a = \"12.3\";" << 0 << "12.3";
        QTest::newRow("marker at the very start") << QStringList{"\"", "\""} << "\"x\"" << 0 << "x";
        QTest::newRow("from on the marker") << QStringList{"<", ">"} << "a<b>c<d>" << 1 << "b";
        QTest::newRow("markers in other case") << QStringList{"<TD>", "</td>"} << "<td>Value</TD>" << 0 << "Value";
        QTest::newRow("end marker searched after the start marker") << QStringList{"ab", "b"} << "xabyb" << 0 << "y";
        QTest::newRow("no start marker") << QStringList{"[", "]"} << "a b c]" << 0 << "";
        QTest::newRow("no end marker") << QStringList{"\"", "\""} << "var a = \"12.3;" << 0 << "";
    }

    void textBetween()
    {
        QFETCH(QStringList, markers);
        QFETCH(QString, source);
        QFETCH(int, from);
        QFETCH(QString, expected);
        QCOMPARE(::textBetween(markers[0], markers[1], source, from).toString(), expected);
    }
};

QTEST_GUILESS_MAIN(TestRouterPage)
#include "TestRouterPage.moc"
