#include "router/TextBetween.h"

#include <QTest>

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
    QTest::newRow("quoted value") << "\""
                                  << "\""
                                  << "var a = \"12.3\";" << qsizetype(1) << "12.3";
    QTest::newRow("start 0 counts as 1") << "\""
                                         << "\""
                                         << "\"x\"" << qsizetype(0) << "x";
    QTest::newRow("negative start counts as 1") << "\""
                                                << "\""
                                                << "\"x\"" << qsizetype(-5) << "x";
    QTest::newRow("start on the marker") << "<"
                                         << ">"
                                         << "a<b>c<d>" << qsizetype(2) << "b";
    QTest::newRow("start after the first marker") << "<"
                                                  << ">"
                                                  << "a<b>c<d>" << qsizetype(3) << "d";
    QTest::newRow("markers in other case") << "<TD>"
                                           << "</td>"
                                           << "<td>Value</TD>" << qsizetype(1) << "Value";
    QTest::newRow("end marker searched after the start marker") << "ab"
                                                                << "b"
                                                                << "xabyb" << qsizetype(1) << "y";
    QTest::newRow("markers side by side") << "\""
                                          << "\""
                                          << "a \"\" b" << qsizetype(1) << "";
    QTest::newRow("no start marker") << "["
                                     << "]"
                                     << "a b c]" << qsizetype(1) << "";
    QTest::newRow("no end marker") << "\""
                                   << "\""
                                   << "var a = \"12.3;" << qsizetype(1) << "";
    QTest::newRow("start past the end") << "\""
                                        << "\""
                                        << "\"x\"" << qsizetype(99) << "";
    QTest::newRow("empty source") << "\""
                                  << "\""
                                  << "" << qsizetype(1) << "";
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
