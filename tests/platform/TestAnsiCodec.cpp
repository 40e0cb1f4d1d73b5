#include "platform/AnsiCodec.h"

#include <QTest>

// Stored passwords and router pages hold arbitrary bytes; none may be lost on the way through.
class TestAnsiCodec : public QObject
{
    Q_OBJECT

private slots:
    void everyByte_survivesRoundTrip();
    void knownCharacters_data();
    void knownCharacters();
    void characterOutsideCodePage_becomesQuestionMark();
};

void TestAnsiCodec::everyByte_survivesRoundTrip()
{
    QByteArray allBytes;
    for (int code = 0; code < 256; ++code)
        allBytes.append(char(code));
    const QString text = AnsiCodec::decode(allBytes);
    QCOMPARE(text.size(), 256);
    QVERIFY(AnsiCodec::canEncode(text));
    QCOMPARE(AnsiCodec::encode(text), allBytes);
}

void TestAnsiCodec::knownCharacters_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("unicode");
    QTest::newRow("euro sign") << 0x80 << 0x20AC;
    QTest::newRow("undefined 0x81 keeps its number") << 0x81 << 0x81;
    QTest::newRow("undefined 0x9D keeps its number") << 0x9D << 0x9D;
    QTest::newRow("y with diaeresis") << 0x9F << 0x178;
    QTest::newRow("e acute") << 0xE9 << 0xE9;
}

void TestAnsiCodec::knownCharacters()
{
    QFETCH(int, code);
    QFETCH(int, unicode);
    QCOMPARE(AnsiCodec::decode(QByteArray(1, char(code))), QString(QChar(char16_t(unicode))));
    QCOMPARE(AnsiCodec::codeOf(QChar(char16_t(unicode))), code);
}

void TestAnsiCodec::characterOutsideCodePage_becomesQuestionMark()
{
    const QString text = QStringLiteral("a\u0416b");
    QVERIFY(!AnsiCodec::canEncode(text));
    QCOMPARE(AnsiCodec::encode(text), QByteArray("a?b"));
}

QTEST_GUILESS_MAIN(TestAnsiCodec)
#include "TestAnsiCodec.moc"
