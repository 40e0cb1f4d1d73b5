#include "report/LogLine.h"
#include "report/WallClock.h"

#include <QFile>
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
    // Each line of the fixture: the situation, the parse, and the line as a log holds it, each but the
    // last ended by a tab.
    void parse_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<QString>("parsed");
        QFile file(QStringLiteral(LINEGAUGE_TEST_DATA "/report/log-lines.txt"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        for (const QByteArray& row : file.readAll().split('\n')) {
            const QList<QByteArray> fields = row.split('\t');
            if (fields.size() >= 3)
                QTest::newRow(fields[0].constData())
                    << row.sliced(fields[0].size() + fields[1].size() + 2) << QString::fromLatin1(fields[1]);
        }
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
