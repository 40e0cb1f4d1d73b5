#include "router/TextBetween.h"

#include <QTest>

namespace {

void cutRow(const char* name, const char* startMarker, const char* endMarker, const char* source, qsizetype start,
    const char* expected)
{
    QTest::newRow(name) << startMarker << endMarker << source << start << expected;
}

} // namespace

// The 1-based, case-blind cut that the page parser relies on for every value.
class TestTextBetween : public QObject
{
    Q_OBJECT

private slots:
    void cuts_data();
    void cuts();
};

void TestTextBetween::cuts_data()
{
    QTest::addColumn<QString>("startMarker");
    QTest::addColumn<QString>("endMarker");
    QTest::addColumn<QString>("source");
    QTest::addColumn<qsizetype>("start");
    QTest::addColumn<QString>("expected");
    cutRow("quoted value", "\"", "\"", "var a = \"12.3\";", 1, "12.3");
    cutRow("start 0 counts as 1", "\"", "\"", "\"x\"", 0, "x");
    cutRow("start on the marker", "<", ">", "a<b>c<d>", 2, "b");
    cutRow("markers in other case", "<TD>", "</td>", "<td>Value</TD>", 1, "Value");
    cutRow("end marker searched after the start marker", "ab", "b", "xabyb", 1, "y");
    cutRow("no start marker", "[", "]", "a b c]", 1, "");
    cutRow("no end marker", "\"", "\"", "var a = \"12.3;", 1, "");
}

void TestTextBetween::cuts()
{
    QFETCH(QString, startMarker);
    QFETCH(QString, endMarker);
    QFETCH(QString, source);
    QFETCH(qsizetype, start);
    QFETCH(QString, expected);
    QCOMPARE(textBetween(startMarker, endMarker, source, start), expected);
}

QTEST_GUILESS_MAIN(TestTextBetween)
#include "TestTextBetween.moc"
