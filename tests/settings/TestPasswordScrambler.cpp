#include "platform/AnsiCodec.h"
#include "platform/PrivateProfile.h"
#include "settings/PasswordScrambler.h"

#include <QTest>

#include <algorithm>

namespace {

// The largest key code laid against any character of a text of this length.
int largestKeyCode(int length)
{
    const QByteArray key = AnsiCodec::encode(passwordKey);
    return *std::max_element(key.begin(), key.begin() + std::min<qsizetype>(length, key.size()));
}

} // namespace

// The stored password must come back exactly, including bytes the code page leaves undefined.
class TestPasswordScrambler : public QObject
{
    Q_OBJECT

private slots:
    // Ten characters take the key's first character twice; a character outside the code page or an
    // empty key cannot be scrambled; an empty password can.
    void knownValue_andRefusals()
    {
        const QString scrambled = AnsiCodec::decode("\xAC\xA3\xAF\xB5\x93\x97\xB3\xB7\xA5\xAC");
        QCOMPARE(scramblePassword(passwordKey, QStringLiteral("aaaaaaaaaa")), scrambled);
        QCOMPARE(unscramblePassword(passwordKey, scrambled), QStringLiteral("aaaaaaaaaa"));
        QCOMPARE(scramblePassword(passwordKey, QStringLiteral("\u0416")), std::nullopt);
        QCOMPARE(scramblePassword(QString(), QStringLiteral("a")), std::nullopt);
        QCOMPARE(scramblePassword(passwordKey, QString()), std::optional<QString>(QString()));
        QVERIFY(canStorePassword(QString()));
    }

    // A password is storable exactly when it scrambles and is short enough to be read back whole.
    void everyCodeAndLength_roundTripsOrFails()
    {
        for (int code = 0; code < 256; ++code) {
            // Each length up to the key's, then around the longest value the reader gives back whole.
            for (const int length : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 254, 255, 300}) {
                const QString text = AnsiCodec::decode(QByteArray(length, char(code)));
                const bool fits = code + largestKeyCode(length) <= 255;
                const std::optional<QString> scrambled = scramblePassword(passwordKey, text);
                QCOMPARE(scrambled.has_value(), fits);
                QCOMPARE(canStorePassword(text), fits && length <= PrivateProfile::maxValueLength);
                if (fits)
                    QCOMPARE(unscramblePassword(passwordKey, *scrambled), std::optional<QString>(text));
                const std::optional<QString> clear = unscramblePassword(passwordKey, text);
                QCOMPARE(clear.has_value(), code >= largestKeyCode(length));
                if (clear)
                    QCOMPARE(scramblePassword(passwordKey, *clear), std::optional<QString>(text));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestPasswordScrambler)
#include "TestPasswordScrambler.moc"
