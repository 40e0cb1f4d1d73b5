#include "platform/AnsiCodec.h"

#include <QTest>

// Stored passwords and router pages hold arbitrary bytes; none may be lost on the way through.
class TestAnsiCodec : public QObject
{
    Q_OBJECT

private slots:
    void everyByte_isOneCharacter_andComesBack()
    {
        QByteArray allBytes;
        for (int code = 0; code < 256; ++code)
            allBytes.append(char(code));
        const QString text = AnsiCodec::decode(allBytes);
        QCOMPARE(text.size(), allBytes.size());
        QCOMPARE(text.at(0x80), QChar(0x20AC)); // the euro sign opens the range the code page redefines
        QVERIFY(AnsiCodec::canEncode(text));
        QCOMPARE(AnsiCodec::encode(text), allBytes);
        // A character outside the code page becomes a question mark.
        QVERIFY(!AnsiCodec::canEncode(QStringLiteral("a\u0416b")));
        QCOMPARE(AnsiCodec::encode(QStringLiteral("a\u0416b")), QByteArray("a?b"));
    }
};

QTEST_GUILESS_MAIN(TestAnsiCodec)
#include "TestAnsiCodec.moc"
