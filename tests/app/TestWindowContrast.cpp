#include "app/MainWindow.h"
#include "app/WindowPalette.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <cmath>
#include <memory>

namespace {

// A dark desktop theme: light text on a dark grey window.
QPalette darkPalette()
{
    const QColor text(224, 224, 224);
    QPalette dark(text, QColor(53, 53, 53), QColor(80, 80, 80), QColor(25, 25, 25), QColor(40, 40, 40), text, Qt::white,
        QColor(30, 30, 30), QColor(45, 45, 45));
    dark.setColor(QPalette::Disabled, QPalette::Text, QColor(110, 110, 110));
    dark.setColor(QPalette::Disabled, QPalette::WindowText, QColor(110, 110, 110));
    return dark;
}

// Relative luminance of a screen colour.
double luminance(QRgb rgb)
{
    const auto channel = [](int value) {
        const double c = value / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(rgb)) + 0.7152 * channel(qGreen(rgb)) + 0.0722 * channel(qBlue(rgb));
}

double contrast(QRgb a, QRgb b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// The text's contrast inside one control's picture: the commonest colour is what lies behind the
// text, the pixel farthest from it is the text's own colour.
double textContrast(const QImage& picture)
{
    QHash<QRgb, int> counts;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x)
            ++counts[picture.pixel(x, y) | 0xff000000];
    }
    QRgb background = 0;
    int most = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it) {
        if (it.value() > most) {
            most = it.value();
            background = it.key();
        }
    }
    double best = 1;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        best = std::max(best, contrast(background, it.key()));
    return best;
}

} // namespace

// Every text of the window measured from its rendering, under a light and a dark desktop palette:
// each must stand out at least 3:1 from what lies behind it.
class TestWindowContrast : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { m_desktop = QApplication::palette(); }
    void cleanup() { QApplication::setPalette(m_desktop); }

    void textStandsOut_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::addColumn<QString>("control");
        const QStringList texts{"addressCaption", "portCaption", "userCaption", "passwordCaption", "addressEdit",
            "portEdit", "userEdit", "hidePasswordCheck", "testSettingsButton", "outputFileCaption", "intervalCaption",
            "outputFileEdit", "intervalEdit", "saveCheck", "seriesLegend0", "seriesLegend1", "seriesLegend2",
            "seriesLegend3", "snrHeading", "attenuationHeading", "columnHeading0", "columnHeading2", "columnHeading4",
            "currentValue0", "minimumValue0", "maximumValue0", "lastDropLabel", "countdownLabel", "statusCaption",
            "statusLabel", "monitorButton", "balloonsCheck", "trayButton"};
        for (const bool dark : {false, true}) {
            for (const QString& name : texts)
                QTest::addRow("%s %s", dark ? "dark" : "light", qPrintable(name)) << dark << name;
        }
    }

    void textStandsOut()
    {
        QFETCH(bool, dark);
        QFETCH(QString, control);
        if (dark)
            QApplication::setPalette(darkPalette());
        MainWindow window;
        auto* widget = window.findChild<QWidget*>(control);
        QVERIFY(widget);
        widget->show();
        // Cells and the status line get their texts while the program runs.
        if (auto* label = qobject_cast<QLabel*>(widget); label && label->text().isEmpty())
            label->setText(QStringLiteral("Monitoring 11.5"));
        const QImage picture = window.grab(QRect(widget->mapTo(&window, QPoint(0, 0)), widget->size())).toImage();
        const double ratio = textContrast(picture);
        qInfo("%s %s %.2f:1", dark ? "dark" : "light", qPrintable(control), ratio);
        QVERIFY2(ratio >= 3.0, qPrintable(QString::number(ratio)));
    }

    void desktopPalette_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::newRow("light desktop") << false;
        QTest::newRow("dark desktop") << true;
    }

    // A light desktop's palette is kept as it is, a dark one is made light; either way a locked box
    // shows its text fainter than an open one.
    void desktopPalette()
    {
        QFETCH(bool, dark);
        const QPalette desktop = dark ? darkPalette() : QApplication::palette();
        QCOMPARE(WindowPalette::isDark(desktop), dark);
        QVERIFY(!WindowPalette::isDark(WindowPalette::forDesktop(desktop)));
        QVERIFY(dark || WindowPalette::forDesktop(desktop).resolveMask() == 0);
        QApplication::setPalette(desktop);
        MainWindow window;
        auto* box = window.findChild<QLineEdit*>(QStringLiteral("addressEdit"));
        const QImage open = box->grab().toImage();
        box->setEnabled(false);
        const QImage locked = box->grab().toImage();
        QVERIFY(open != locked);
        QVERIFY(textContrast(locked) < textContrast(open));
    }

private:
    QPalette m_desktop;
};

QTEST_MAIN(TestWindowContrast)
#include "TestWindowContrast.moc"
