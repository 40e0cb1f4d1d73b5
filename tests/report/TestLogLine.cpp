#include "report/LogLine.h"
#include "report/WallClock.h"

#include <QTest>

namespace {

// What the parse made of a line: its kind, or for a capture its time, which of the four values
// are numbers (bit 0 the first) and the first value when it is one.
QString summary(const LogLine& parsed)
{
    if (parsed.kind != LogLineKind::capture)
        return QString(parsed.kind == LogLineKind::header ? "header"
                : parsed.kind == LogLineKind::blank       ? "blank"
                                                          : "bad");
    const unsigned mask = parsed.capture.numberMask;
    return WallClock::isoDateTime(parsed.capture.stamp) + u' ' + QString::number(mask)
        + ((mask & 1u) != 0 ? u' ' + QString::number(parsed.capture.values[0]) : QString());
}

} // namespace

// Every line of the log goes through here: both layouts, quoted router texts and whatever a cut-off
// or hand-edited file holds must come out as a capture, a header, or a line to skip.
class TestLogLine : public QObject
{
    Q_OBJECT

private slots:
    void parse_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("parsed");

        const QByteArray at = "05/03/2026,07:08:09,";
        const QString stamp = QStringLiteral("2026-03-05T07:08:09 ");
        const QByteArray values = ",6.5,12,23.4,11";
        const QString bad = QStringLiteral("bad");
        QTest::newRow("separate date and time") << at + "6.5,12.0,23.4,11.0" << stamp + "15 6.5";
        QTest::newRow("joined date and time") << "05/03/2026 07:08:09" + values << stamp + "15 6.5";
        QTest::newRow("CR LF line end") << at + "6.5,12,23.4,11\r" << stamp + "15 6.5";
        QTest::newRow("quoted number") << at + "\"6.5\",12,23.4,11" << stamp + "15 6.5";
        QTest::newRow("quoted text with a comma and quotes") << at + "\"a,\"\"b\"\"\",12,23.4,11" << stamp + "14";
        QTest::newRow("blanks and sign") << at + " +6.5 ,-1e1,23.4,11" << stamp + "15 6.5";
        QTest::newRow("beyond single precision") << at + "1e39,12,23.4,11" << stamp + "14";
        QTest::newRow("largest single") << at + "3e38,12,23.4,11" << stamp + "15 3e+38";
        QTest::newRow("words for numbers") << at + "inf,nan,0x10,1.2.3" << stamp + "0";
        QTest::newRow("unquoted comma shifts the columns") << at + "a,b,12,23.4,11" << bad;
        QTest::newRow("quote never closed") << at + "\"6.5,12,23.4,11" << bad;
        QTest::newRow("text after a closing quote") << at + "\"6\"5,12,23.4,11" << bad;
        QTest::newRow("cut short") << at + "6.5,12" << bad;
        QTest::newRow("joined header in capitals")
            << QByteArray("DATETIME,Down SNR,Up SNR,Down Attenuation,Up Attenuation") << "header";
        QTest::newRow("blank") << QByteArray(" \r") << "blank";
        QTest::newRow("binary") << QByteArray("\x00\xff,\x01", 4) << bad;
        QTest::newRow("leap day") << "29/02/2024,23:59:59" + values << "2024-02-29T23:59:59 15 6.5";
        QTest::newRow("leap day of a century") << "29/02/2000,00:00:00" + values << "2000-02-29T00:00:00 15 6.5";
        QTest::newRow("before 1970") << "31/12/1969,23:00:00" + values << "1969-12-31T23:00:00 15 6.5";
        QTest::newRow("29 February 1900") << "29/02/1900,12:00:00" + values << bad;
        QTest::newRow("31 April") << "31/04/2026,12:00:00" + values << bad;
        QTest::newRow("month 13") << "01/13/2026,12:00:00" + values << bad;
        QTest::newRow("hour 24") << "01/01/2026,24:00:00" + values << bad;
        QTest::newRow("one-digit day") << "1/01/2026,12:00:00" + values << bad;
    }

    void parse()
    {
        QFETCH(QByteArray, line);
        QFETCH(QString, parsed);
        QCOMPARE(summary(parseLogLine(std::string_view(line.constData(), std::size_t(line.size())))), parsed);
    }
};

QTEST_GUILESS_MAIN(TestLogLine)
#include "TestLogLine.moc"
