#include "stats/NumberFormat.h"

#include <QDateTime>
#include <QTest>

#include <limits>

namespace {

const QLocale uk(QLocale::English, QLocale::UnitedKingdom);
const QLocale german(QLocale::German, QLocale::Germany);

} // namespace

// The texts of values and drop times, in a point and a comma locale.
class TestNumberFormat : public QObject
{
    Q_OBJECT

private slots:
    void valueText_data()
    {
        QTest::addColumn<bool>("tooltip");
        QTest::addColumn<float>("value");
        QTest::addColumn<QLocale>("locale");
        QTest::addColumn<QString>("text");

        QTest::newRow("label: exact half rounds away from zero") << false << 6.25f << uk << "6.3";
        QTest::newRow("label: small negative has no minus zero") << false << -0.04f << uk << "0.0";
        QTest::newRow("label: comma locale") << false << 6.27f << german << "6,3";
        QTest::newRow("label: large value has no grouping") << false << 1.0e7f << german << "10000000,0";
        QTest::newRow("label: not a number") << false << std::numeric_limits<float>::quiet_NaN() << uk << "nan";
        QTest::newRow("tip: seven digits") << true << 1234567.0f << uk << "1234567";
        QTest::newRow("tip: eight digits go exponential") << true << 12345678.0f << uk << "1.234568E+07";
        QTest::newRow("tip: comma locale") << true << 6.5f << german << "6,5";
    }

    void valueText()
    {
        QFETCH(bool, tooltip);
        QFETCH(float, value);
        QFETCH(QLocale, locale);
        QFETCH(QString, text);
        QCOMPARE(tooltip ? NumberFormat::tooltipForm(value, locale) : NumberFormat::labelForm(value, locale), text);
    }

    // Two-digit fields, 24 hours, and the weekday in the locale's language.
    void dropTime()
    {
        const QDateTime time(QDate(2026, 3, 5), QTime(23, 59, 58));
        QCOMPARE(NumberFormat::dropTime(time, german), QStringLiteral("Do. 05/03/2026 23:59:58"));
    }
};

QTEST_GUILESS_MAIN(TestNumberFormat)
#include "TestNumberFormat.moc"
