#include "router/PageParser.h"
#include "router/TextBetween.h"
#include "stats/LineStatTable.h"
#include "stats/StatusTexts.h"
#include "support/FileBytes.h"
#include "support/RecordingMessageBox.h"
#include "support/RecordingStatusLine.h"

#include <QLocale>
#include <QTest>

namespace {

// What the table holds from an earlier capture, so that "kept" is told apart from "reset".
const QStringList previousTexts{"10.0", "5.0", "30.0", "15.0"};

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

void cutRow(const char* name, const char* startMarker, const char* endMarker, const char* source, int from,
    const char* expected)
{
    QTest::newRow(name) << startMarker << endMarker << source << from << expected;
}

} // namespace

// Router pages of every shape end in the right values, status texts and message box, in any locale.
class TestPageParser : public QObject
{
    Q_OBJECT

    LineStatTable m_table;
    RecordingStatusLine m_status;
    RecordingMessageBox m_messageBox;

    std::optional<PageReading> parse(const QString& page)
    {
        PageParser parser(m_status, m_messageBox);
        std::optional<PageReading> reading = parser.parseStatsPage(page);
        if (reading)
            m_table.takePage(*reading);
        return reading;
    }

private slots:
    void initTestCase() { QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany)); }

    void init()
    {
        m_table = LineStatTable();
        for (std::size_t i = 0; i < std::size_t(statCount); ++i) {
            m_table.valueTexts.at(i) = previousTexts.at(qsizetype(i));
            m_table.currentValues.at(i) = previousTexts.at(qsizetype(i)).toFloat();
        }
        m_status = RecordingStatusLine();
        m_messageBox = RecordingMessageBox();
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
        const QStringList upAttOnly{"10.0", "5.0", "30.0", "20.5"};
        row("empty page", QString(), previousTexts, StatusTexts::noValues);
        row("tab instead of the space", QStringLiteral("var\tst_dw_snr_margin = \"3.5\";"), previousTexts,
            StatusTexts::noValues);
        row("binary around a key line", nul + "\xff\x01\n" + nul + dw + nul + "\n\x80", {"3.5", "5.0", "30.0", "15.0"});
        row("CR-only line: first key in table order takes the first quotes", upAtt + "\r" + up + "\r" + dw,
            {"20.5", "5.0", "30.0", "15.0"});
        row("mixed line ends", dw + "\r\n" + up + "\n" + keyLine("st_dw_line_attenuation", "41.5") + "\n\r\n" + upAtt,
            {"3.5", "2.5", "41.5", "20.5"});
        row("keys in capitals, inside other words",
            QStringLiteral("VAR ST_DW_SNR_MARGIN = \"3.5\";\nmyVar St_Up_Snr_Marginal=\"2.5\""),
            {"3.5", "2.5", "30.0", "15.0"});
        row("first quotes on the line win", "x = \"a\"; var st_up_snr_margin = \"7.5\";",
            {"10.0", "a", "30.0", "15.0"});
        row("login error at the very start, missing-page text after it",
            QStringLiteral("server error: 401 unauthorized\nServer Error: 501 Not Implemented"), previousTexts,
            StatusTexts::loginFailed);
        row("missing-page text before the login error",
            QStringLiteral("Server Error: 501 Not Implemented\nServer Error: 401 Unauthorized"), previousTexts,
            StatusTexts::loginFailed);
        row("error reply after colons and key lines", dw + "\na:b::c: SERVER ERROR: 501 NOT IMPLEMENTED:\n" + up,
            previousTexts, StatusTexts::pageMissing);
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
        QCOMPARE(parse(page).has_value(), status == StatusTexts::routerFound);
        for (std::size_t i = 0; i < std::size_t(statCount); ++i) {
            bool number = false;
            const auto at = qsizetype(i);
            const float parsed = texts.at(at).toFloat(&number);
            QCOMPARE(m_table.valueTexts.at(i), texts.at(at));
            QCOMPARE(m_table.currentValues.at(i), number ? parsed : previousTexts.at(at).toFloat());
        }
        QCOMPARE(m_status.texts,
            status == StatusTexts::routerFound ? QStringList{status} : QStringList({StatusTexts::routerFound, status}));
        const bool box = status == StatusTexts::loginFailed || status == StatusTexts::pageMissing;
        QCOMPARE(m_messageBox.titles + m_messageBox.texts,
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
        QVERIFY(parse(keyLine("st_dw_snr_margin", "3.5") + "\n" + keyLine("st_dw_snr_margin", valueText)));
        QCOMPARE(m_table.valueTexts[0], valueText);
        QCOMPARE(m_table.currentValues[0], current);
    }

    // The case-blind cut that takes every value off its line.
    void textBetween_data()
    {
        QTest::addColumn<QString>("startMarker");
        QTest::addColumn<QString>("endMarker");
        QTest::addColumn<QString>("source");
        QTest::addColumn<int>("from");
        QTest::addColumn<QString>("expected");
        cutRow("quoted value", "\"", "\"", "var a = \"12.3\";", 0, "12.3");
        cutRow("marker at the very start", "\"", "\"", "\"x\"", 0, "x");
        cutRow("from on the marker", "<", ">", "a<b>c<d>", 1, "b");
        cutRow("markers in other case", "<TD>", "</td>", "<td>Value</TD>", 0, "Value");
        cutRow("end marker searched after the start marker", "ab", "b", "xabyb", 0, "y");
        cutRow("no start marker", "[", "]", "a b c]", 0, "");
        cutRow("no end marker", "\"", "\"", "var a = \"12.3;", 0, "");
    }

    void textBetween()
    {
        QFETCH(QString, startMarker);
        QFETCH(QString, endMarker);
        QFETCH(QString, source);
        QFETCH(int, from);
        QFETCH(QString, expected);
        QCOMPARE(::textBetween(startMarker, endMarker, source, from).toString(), expected);
    }
};

QTEST_GUILESS_MAIN(TestPageParser)
#include "TestPageParser.moc"
