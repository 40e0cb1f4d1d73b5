#include "report/LogLine.h"
#include "report/WallClock.h"

#include <QTest>

// Every line of the log goes through here: both layouts, quoted router texts and whatever a cut-off
// or hand-edited file holds must come out as a capture, a header, or a line to skip.
class TestLogLine : public QObject
{
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void dateAndTime_data();
    void dateAndTime();
};

Q_DECLARE_METATYPE(LogLineKind)

void TestLogLine::parse_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<LogLineKind>("kind");
    QTest::addColumn<unsigned>("numberMask");
    QTest::addColumn<float>("firstValue");

    const auto capture = LogLineKind::capture;
    const auto bad = LogLineKind::bad;
    QTest::newRow("separate date and time")
        << QByteArray("05/03/2026,07:08:09,6.5,12.0,23.4,11.0") << capture << 15u << 6.5f;
    QTest::newRow("joined date and time")
        << QByteArray("05/03/2026 07:08:09,6.5,12.0,23.4,11.0") << capture << 15u << 6.5f;
    QTest::newRow("CR LF line end") << QByteArray("05/03/2026,07:08:09,6.5,12,23.4,11\r") << capture << 15u << 6.5f;
    QTest::newRow("NA") << QByteArray("05/03/2026,07:08:09,NA,12,23.4,11") << capture << 14u << 0.0f;
    QTest::newRow("quoted number") << QByteArray("05/03/2026,07:08:09,\"6.5\",12,23.4,11") << capture << 15u << 6.5f;
    QTest::newRow("quoted text with a comma")
        << QByteArray("05/03/2026,07:08:09,\"a,b\",12,23.4,11") << capture << 14u << 0.0f;
    QTest::newRow("doubled quotes") << QByteArray("05/03/2026,07:08:09,\"6\"\"5\",12,23.4,11") << capture << 14u
                                    << 0.0f;
    QTest::newRow("apostrophe before a formula")
        << QByteArray("05/03/2026,07:08:09,\"'=1+2\",12,23.4,11") << capture << 14u << 0.0f;
    QTest::newRow("blanks and sign") << QByteArray("05/03/2026,07:08:09, +6.5 ,-1e1,23.4,11") << capture << 15u << 6.5f;
    QTest::newRow("beyond single precision")
        << QByteArray("05/03/2026,07:08:09,1e39,12,23.4,11") << capture << 14u << 0.0f;
    QTest::newRow("largest single") << QByteArray("05/03/2026,07:08:09,3e38,12,23.4,11") << capture << 15u << 3e38f;
    QTest::newRow("words for numbers") << QByteArray("05/03/2026,07:08:09,inf,nan,0x10,1.2.3") << capture << 0u << 0.0f;
    QTest::newRow("unquoted comma shifts the columns")
        << QByteArray("05/03/2026,07:08:09,a,b,12,23.4,11") << bad << 0u << 0.0f;
    QTest::newRow("quote never closed") << QByteArray("05/03/2026,07:08:09,\"6.5,12,23.4,11") << bad << 0u << 0.0f;
    QTest::newRow("text after a closing quote")
        << QByteArray("05/03/2026,07:08:09,\"6\"5,12,23.4,11") << bad << 0u << 0.0f;
    QTest::newRow("cut short") << QByteArray("05/03/2026,07:08:09,6.5,12") << bad << 0u << 0.0f;
    QTest::newRow("header") << QByteArray("Date,Time,Down SNR,Up SNR,Down Attenuation,Up Attenuation")
                            << LogLineKind::header << 0u << 0.0f;
    QTest::newRow("joined header in capitals")
        << QByteArray("DATETIME,Down SNR,Up SNR,Down Attenuation,Up Attenuation") << LogLineKind::header << 0u << 0.0f;
    QTest::newRow("blank") << QByteArray(" \r") << LogLineKind::blank << 0u << 0.0f;
    QTest::newRow("binary") << QByteArray("\x00\xff,\x01", 4) << bad << 0u << 0.0f;
}

void TestLogLine::parse()
{
    QFETCH(QByteArray, line);
    QFETCH(LogLineKind, kind);
    QFETCH(unsigned, numberMask);
    QFETCH(float, firstValue);

    const LogLine parsed = parseLogLine(std::string_view(line.constData(), std::size_t(line.size())));
    QCOMPARE(parsed.kind, kind);
    if (kind != LogLineKind::capture)
        return;
    QCOMPARE(parsed.capture.numberMask, numberMask);
    if (numberMask & 1u)
        QCOMPARE(parsed.capture.values[0], firstValue);
    QCOMPARE(WallClock::isoDateTime(parsed.capture.stamp), QStringLiteral("2026-03-05T07:08:09"));
}

void TestLogLine::dateAndTime_data()
{
    QTest::addColumn<QByteArray>("dateTime");
    QTest::addColumn<QString>("iso"); // empty: the line is skipped

    QTest::newRow("leap day") << QByteArray("29/02/2024,23:59:59") << QStringLiteral("2024-02-29T23:59:59");
    QTest::newRow("leap day of a century")
        << QByteArray("29/02/2000,00:00:00") << QStringLiteral("2000-02-29T00:00:00");
    QTest::newRow("before 1970") << QByteArray("31/12/1969,23:00:00") << QStringLiteral("1969-12-31T23:00:00");
    QTest::newRow("29 February of a common year") << QByteArray("29/02/2025,12:00:00") << QString();
    QTest::newRow("29 February 1900") << QByteArray("29/02/1900,12:00:00") << QString();
    QTest::newRow("31 April") << QByteArray("31/04/2026,12:00:00") << QString();
    QTest::newRow("month 13") << QByteArray("01/13/2026,12:00:00") << QString();
    QTest::newRow("day 0") << QByteArray("00/01/2026,12:00:00") << QString();
    QTest::newRow("year 0") << QByteArray("01/01/0000,12:00:00") << QString();
    QTest::newRow("hour 24") << QByteArray("01/01/2026,24:00:00") << QString();
    QTest::newRow("second 60") << QByteArray("01/01/2026,23:59:60") << QString();
    QTest::newRow("one-digit day") << QByteArray("1/01/2026,12:00:00") << QString();
    QTest::newRow("ISO date") << QByteArray("2026-01-01,12:00:00") << QString();
}

void TestLogLine::dateAndTime()
{
    QFETCH(QByteArray, dateTime);
    QFETCH(QString, iso);

    const QByteArray line = dateTime + ",6.5,12,23.4,11";
    const LogLine parsed = parseLogLine(std::string_view(line.constData(), std::size_t(line.size())));
    QCOMPARE(parsed.kind, iso.isEmpty() ? LogLineKind::bad : LogLineKind::capture);
    if (!iso.isEmpty())
        QCOMPARE(WallClock::isoDateTime(parsed.capture.stamp), iso);
}

QTEST_GUILESS_MAIN(TestLogLine)
#include "TestLogLine.moc"
