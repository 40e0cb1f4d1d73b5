#include "router/PageParser.h"
#include "stats/LineStatTable.h"
#include "stats/StatusTexts.h"
#include "support/RecordingMessageBox.h"
#include "support/RecordingStatusLine.h"

#include <QFile>
#include <QLocale>
#include <QTest>

#include <cmath>
#include <memory>

using Values = QList<float>;

Q_DECLARE_METATYPE(Values)

namespace {

const QString routerFound = QString::fromLatin1(StatusTexts::routerFound);
const QString noValues = QString::fromLatin1(StatusTexts::noValues);
const QString loginFailed = QString::fromLatin1(StatusTexts::loginFailed);
const QString pageMissing = QString::fromLatin1(StatusTexts::pageMissing);

// What the table holds from an earlier capture, so that "kept" is told apart from "reset".
const QStringList previousTexts{"10.0", "5.0", "30.0", "15.0"};
const Values previousValues{10.0f, 5.0f, 30.0f, 15.0f};

QString fixture(const QString& name)
{
    QFile file(QStringLiteral(LINEGAUGE_TEST_DATA "/pages/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing sample page %s", qPrintable(name));
    return QString::fromLatin1(file.readAll());
}

QString keyLine(const char* key, const QString& value)
{
    return QStringLiteral("var %1 = \"%2\";").arg(QLatin1String(key), value);
}

void parsedRow(const char* name, const QString& page, const QStringList& texts, const Values& values)
{
    QTest::newRow(name) << page << true << texts << values << routerFound << QString();
}

// An error reply or a page without keys leaves the earlier capture's texts and values in place.
void failedRow(const char* name, const QString& page, const QString& status, const QString& messageBox = {})
{
    QTest::newRow(name) << page << false << previousTexts << previousValues << status << messageBox;
}

void errorReplyRow(const char* name, const QString& page, const QString& status)
{
    failedRow(name, page, status, status);
}

} // namespace

// Router pages arrive in every shape: each must end in the right values, status texts and message box,
// and never leave anything but numbers in the current values.
class TestPageParser : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void pages_data();
    void pages();
    void numberSyntax_data();
    void numberSyntax();
    void userLocale_doesNotChangeNumbers();
    void hugePages_parseToTheEnd_data();
    void hugePages_parseToTheEnd();

private:
    std::unique_ptr<LineStatTable> m_table;
    RecordingStatusLine m_status;
    RecordingMessageBox m_messageBox;
};

void TestPageParser::init()
{
    m_table = std::make_unique<LineStatTable>();
    for (int k = 1; k <= statCount; ++k) {
        m_table->statRecords(k).valueText = previousTexts.at(k - 1);
        m_table->currentValues[std::size_t(k - 1)] = previousValues.at(k - 1);
    }
    m_status = RecordingStatusLine();
    m_messageBox = RecordingMessageBox();
}

// Sample pages written the way router firmware does, then hand-made hostile ones.
void TestPageParser::pages_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<Values>("values");
    QTest::addColumn<QString>("status");
    QTest::addColumn<QString>("messageBox");
    const QStringList full{"12.3", "9.8", "38.5", "21.0"};
    const Values fullValues{12.3f, 9.8f, 38.5f, 21.0f};
    parsedRow("full page, line feeds", fixture("adsl_lf.htm"), full, fullValues);
    parsedRow("full page, CR LF", fixture("adsl_crlf.htm"), full, fullValues);
    parsedRow("training line, all NA", fixture("adsl_na.htm"), {"NA", "na", "NA", "Na"}, previousValues);
    parsedRow(
        "only SNR lines", fixture("adsl_snr_only.htm"), {"6.1", "-0.5", "30.0", "15.0"}, {6.1f, -0.5f, 30.0f, 15.0f});
    parsedRow("minified script on one line", fixture("adsl_minified.htm"), {"11.0", "5.0", "30.0", "15.0"},
        {11.0f, 5.0f, 30.0f, 15.0f});
    parsedRow("longer keys after the real ones win", fixture("adsl_extra_keys.htm"), {"4.0", "3.5", "44.0", "25.5"},
        {4.0f, 3.5f, 44.0f, 25.5f});
    errorReplyRow("login refused", fixture("error_401.htm"), loginFailed);
    errorReplyRow("page not on router", fixture("error_501.htm"), pageMissing);

    const QString dw = keyLine("st_dw_snr_margin", "3.5");
    const QString up = keyLine("st_up_snr_margin", "2.5");
    const QString dwAtt = keyLine("st_dw_line_attenuation", "41.5");
    const QString upAtt = keyLine("st_up_line_attenuation", "20.5");
    const QStringList dwOnly{"3.5", "5.0", "30.0", "15.0"};
    const Values dwOnlyValues{3.5f, 5.0f, 30.0f, 15.0f};
    const QString nul(QChar(u'\0'));

    failedRow("empty page", QString(), noValues);
    failedRow("html without keys", QStringLiteral("<html><body>var x = \"1\";</body></html>"), noValues);
    failedRow("binary without keys", QString::fromLatin1(QByteArray("\x00\xff\x01\"\x00\n\r\x7f", 8)), noValues);
    parsedRow("binary around a key line", nul + "\xff\x01\n" + nul + dw + nul + "\n\x80", dwOnly, dwOnlyValues);
    parsedRow("carriage returns only: one line", dw + "\r" + up + "\r" + dwAtt + "\r" + upAtt, dwOnly, dwOnlyValues);
    parsedRow("CR-only line: first key in table order takes the first quotes", upAtt + "\r" + dw,
        {"20.5", "5.0", "30.0", "15.0"}, {20.5f, 5.0f, 30.0f, 15.0f});
    parsedRow("mixed line ends", dw + "\r\n" + up + "\n" + dwAtt + "\n\r\n" + upAtt + "\r\n",
        {"3.5", "2.5", "41.5", "20.5"}, {3.5f, 2.5f, 41.5f, 20.5f});
    parsedRow("keys in capitals", QStringLiteral("VAR ST_DW_SNR_MARGIN = \"3.5\";\nVar St_Up_Snr_Margin=\"2.5\""),
        {"3.5", "2.5", "30.0", "15.0"}, {3.5f, 2.5f, 30.0f, 15.0f});
    parsedRow("key inside other words", QStringLiteral("myvar st_up_snr_marginal = \"7.25\";"),
        {"10.0", "7.25", "30.0", "15.0"}, {10.0f, 7.25f, 30.0f, 15.0f});
    failedRow("tab instead of the space", QStringLiteral("var\tst_dw_snr_margin = \"3.5\";"), noValues);
    parsedRow("key line without quotes", QStringLiteral("var st_dw_snr_margin = 12.5;"), {"", "5.0", "30.0", "15.0"},
        previousValues);
    parsedRow("key line with one quote", QStringLiteral("var st_dw_snr_margin = \"12.5;\r\n"),
        {"", "5.0", "30.0", "15.0"}, previousValues);
    parsedRow("value is a word", keyLine("st_dw_line_attenuation", "unknown"), {"10.0", "5.0", "unknown", "15.0"},
        previousValues);
    parsedRow("first quotes on the line win", QStringLiteral("x = \"a\"; var st_up_snr_margin = \"7.5\";"),
        {"10.0", "a", "30.0", "15.0"}, previousValues);
    parsedRow("first key in table order on a line", up + " " + dw, {"2.5", "5.0", "30.0", "15.0"},
        {2.5f, 5.0f, 30.0f, 15.0f});
    parsedRow("same key twice: last wins", dw + "\n" + keyLine("st_dw_snr_margin", "8.5"),
        {"8.5", "5.0", "30.0", "15.0"}, {8.5f, 5.0f, 30.0f, 15.0f});
    parsedRow("same key twice: NA last keeps the number", dw + "\n" + keyLine("st_dw_snr_margin", "NA"),
        {"NA", "5.0", "30.0", "15.0"}, dwOnlyValues);
    errorReplyRow("login error in lower case", QStringLiteral("<h1>server error: 401 unauthorized</h1>"), loginFailed);
    errorReplyRow("both errors: login first",
        QStringLiteral("Server Error: 501 Not Implemented\nServer Error: 401 Unauthorized"), loginFailed);
    errorReplyRow("error text at the very start", QStringLiteral("Server Error: 401 Unauthorized"), loginFailed);
    errorReplyRow(
        "colons before the error text", QStringLiteral("a:b::c: Server Error: 501 Not Implemented:"), pageMissing);
    errorReplyRow(
        "error reply beside key lines", dw + "\n<p>SERVER ERROR: 501 NOT IMPLEMENTED</p>\n" + up, pageMissing);
    parsedRow(
        "error text split over lines", QStringLiteral("Server Error:\n401 Unauthorized\n") + dw, dwOnly, dwOnlyValues);
}

void TestPageParser::pages()
{
    QFETCH(QString, page);
    QFETCH(bool, result);
    QFETCH(QStringList, texts);
    QFETCH(Values, values);
    QFETCH(QString, status);
    QFETCH(QString, messageBox);

    PageParser parser(*m_table, m_status, m_messageBox);
    QCOMPARE(parser.parseStatsPage(page), result);

    for (int k = 1; k <= statCount; ++k) {
        const float current = m_table->currentValues[std::size_t(k - 1)];
        QCOMPARE(m_table->statRecords(k).valueText, texts.at(k - 1));
        QVERIFY2(std::isfinite(current), qPrintable(m_table->statRecords(k).name));
        QCOMPARE(current, values.at(k - 1));
    }
    QCOMPARE(m_status.texts.first(), routerFound);
    QCOMPARE(m_status.last(), status);
    QCOMPARE(m_status.texts.size(), status == routerFound ? 1 : 2);
    if (messageBox.isEmpty()) {
        QVERIFY(m_messageBox.texts.isEmpty());
    } else {
        QCOMPARE(m_messageBox.texts, QStringList{messageBox});
        QCOMPARE(m_messageBox.titles, QStringList{QString::fromLatin1(StatusTexts::appTitle)});
    }
}

void TestPageParser::numberSyntax_data()
{
    QTest::addColumn<QString>("valueText");
    QTest::addColumn<float>("current");
    const float kept = previousValues.at(0);
    QTest::newRow("decimal") << "12.3" << 12.3f;
    QTest::newRow("negative") << "-0.5" << -0.5f;
    QTest::newRow("plus sign") << "+1" << 1.0f;
    QTest::newRow("blanks around") << " \t12.3 " << 12.3f;
    QTest::newRow("no integer part") << ".5" << 0.5f;
    QTest::newRow("no fraction digits") << "5." << 5.0f;
    QTest::newRow("exponent") << "1.5e1" << 15.0f;
    QTest::newRow("largest single") << "3.4e38" << 3.4e38f;
    QTest::newRow("empty") << "" << kept;
    QTest::newRow("NA with blanks") << " NA " << kept;
    QTest::newRow("decimal comma") << "12,3" << kept;
    QTest::newRow("unit after number") << "12.3 dB" << kept;
    QTest::newRow("two points") << "1.2.3" << kept;
    QTest::newRow("sign only") << "-" << kept;
    QTest::newRow("point only") << "." << kept;
    QTest::newRow("exponent without digits") << "1e" << kept;
    QTest::newRow("hexadecimal") << "0x1A" << kept;
    QTest::newRow("not a number") << "NaN" << kept;
    QTest::newRow("infinity") << "inf" << kept;
    QTest::newRow("beyond a single") << "1e39" << kept;
    QTest::newRow("too small for a single") << "1e-50" << kept;
    QTest::newRow("huge digit run") << QString(400, u'9') << kept;
    QTest::newRow("arabic-indic digits") << QString::fromUtf16(u"\u0661\u0662") << kept;
}

void TestPageParser::numberSyntax()
{
    QFETCH(QString, valueText);
    QFETCH(float, current);
    PageParser parser(*m_table, m_status, m_messageBox);
    QVERIFY(parser.parseStatsPage(keyLine("st_dw_snr_margin", valueText)));
    QCOMPARE(m_table->statRecords(1).valueText, valueText);
    QCOMPARE(m_table->currentValues[0], current);
}

void TestPageParser::userLocale_doesNotChangeNumbers()
{
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    PageParser parser(*m_table, m_status, m_messageBox);
    const bool parsed
        = parser.parseStatsPage(keyLine("st_dw_snr_margin", "12.3") + "\n" + keyLine("st_up_snr_margin", "1,5"));
    QLocale::setDefault(saved);
    QVERIFY(parsed);
    QCOMPARE(m_table->currentValues[0], 12.3f);
    QCOMPARE(m_table->currentValues[1], previousValues.at(1));
}

void TestPageParser::hugePages_parseToTheEnd_data()
{
    QTest::addColumn<QString>("page");
    const QString last = keyLine("st_up_line_attenuation", "20.5");
    QTest::newRow("megabytes of lines") << QStringLiteral("var st_other = \"1\";\r\n").repeated(200000) + last;
    QTest::newRow("one huge line") << QString(2000000, u'x') + last;
    QTest::newRow("a million v characters") << QString(1000000, u'v') + last;
    QTest::newRow("a million colons") << QString(1000000, u':') + last;
    QTest::newRow("a million empty lines") << QString(1000000, u'\n') + last;
    QTest::newRow("many key leads without keys") << QStringLiteral("var var var ").repeated(100000) + last;
}

void TestPageParser::hugePages_parseToTheEnd()
{
    QFETCH(QString, page);
    PageParser parser(*m_table, m_status, m_messageBox);
    QVERIFY(parser.parseStatsPage(page));
    QCOMPARE(m_table->statRecords(4).valueText, QStringLiteral("20.5"));
    QCOMPARE(m_table->currentValues[3], 20.5f);
}

QTEST_GUILESS_MAIN(TestPageParser)
#include "TestPageParser.moc"
