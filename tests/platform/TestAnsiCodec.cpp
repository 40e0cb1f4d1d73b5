#include "platform/AnsiCodec.h"

#include <QTest>

// Stored passwords and router pages hold arbitrary bytes; none may be lost on the way through.
class TestAnsiCodec : public QObject
{
    Q_OBJECT

private slots:
    void knownCharacters_data();
    void knownCharacters();
};

void TestAnsiCodec::knownCharacters_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("encodable");
    QByteArray allBytes;
    for (int code = 0; code < 256; ++code)
        allBytes.append(char(code));
    QTest::newRow("every byte, one character each") << AnsiCodec::decode(allBytes) << allBytes << true;
    QTest::newRow("euro sign") << QStringLiteral("\u20AC") << QByteArray("\x80") << true;
    QTest::newRow("outside the code page becomes a question mark")
        << QStringLiteral("a\u0416b") << QByteArray("a?b") << false;
}

void TestAnsiCodec::knownCharacters()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, encodable);
    QCOMPARE(AnsiCodec::canEncode(text), encodable);
    QCOMPARE(text.size(), bytes.size());
    QCOMPARE(AnsiCodec::encode(text), bytes);
    if (encodable)
        QCOMPARE(AnsiCodec::decode(bytes), text);
}

QTEST_GUILESS_MAIN(TestAnsiCodec)
#include "TestAnsiCodec.moc"
