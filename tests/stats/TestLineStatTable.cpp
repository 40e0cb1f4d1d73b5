#include "stats/LineStatTable.h"

#include <QTest>

// The numbering every other module relies on: text records 1..4, value arrays 0..3.
class TestLineStatTable : public QObject
{
    Q_OBJECT

private slots:
    void freshTable_holdsStartValues();
    void entryThree_isIndexTwo();
};

void TestLineStatTable::freshTable_holdsStartValues()
{
    const LineStatTable table;
    for (int i = 0; i < statCount; ++i) {
        QVERIFY(table.statRecords(i + 1).valueText.isEmpty());
        QCOMPARE(table.currentValues[std::size_t(i)], 0.0f);
        QCOMPARE(table.minValues[std::size_t(i)], 100.0f);
        QCOMPARE(table.maxValues[std::size_t(i)], 0.0f);
    }
}

void TestLineStatTable::entryThree_isIndexTwo()
{
    const LineStatTable table;
    QCOMPARE(table.statRecords(3).name, QStringLiteral("Down Attenuation"));
    QCOMPARE(table.statRecords(3).pageKey, QStringLiteral("st_dw_line_attenuation"));
    QCOMPARE(table.seriesColours[2], Colour(0xC000C0));
    QCOMPARE(QString::fromLatin1(lineStatDefinitions[2].code), QStringLiteral("AD"));
}

QTEST_GUILESS_MAIN(TestLineStatTable)
#include "TestLineStatTable.moc"
