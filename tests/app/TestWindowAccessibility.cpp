#include "app/AccessibleNames.h"
#include "app/ClickableLabel.h"
#include "app/MainWindow.h"

#include <QAbstractButton>
#include <QLabel>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

QChar accessKeyOf(const QString& caption)
{
    const qsizetype at = caption.indexOf(u'&');
    return at >= 0 && at + 1 < caption.size() ? caption.at(at + 1).toLower() : QChar();
}

} // namespace

// The window as a screen reader and a keyboard user meet it: the names read for the value cells and
// the graph (the tree itself is read over AT-SPI by TestAtspiTree), one Tab order down the window,
// distinct access keys, and the cells and the graph's menu by key.
class TestWindowAccessibility : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_window = std::make_unique<MainWindow>(); }
    void cleanup() { m_window.reset(); }

    void cellName_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<AccessibleNames::Column>("column");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("name");
        QTest::newRow("current value while monitoring") << 0 << AccessibleNames::Column::current << "11.5"
                                                        << "Down SNR current: 11.5";
        QTest::newRow("empty cell before the first capture") << 1 << AccessibleNames::Column::minimum << ""
                                                             << "Up SNR minimum";
        QTest::newRow("maximum of the last statistic") << 3 << AccessibleNames::Column::maximum << "40"
                                                       << "Up Attenuation maximum: 40";
    }

    void cellName()
    {
        QFETCH(int, index);
        QFETCH(AccessibleNames::Column, column);
        QFETCH(QString, value);
        QFETCH(QString, name);
        QCOMPARE(AccessibleNames::cellName(index, column, value), name);
    }

    void graphDescription_data()
    {
        QTest::addColumn<QList<bool>>("shown");
        QTest::addColumn<QStringList>("values");
        QTest::addColumn<QString>("description");
        const QList<bool> all{true, true, true, true};
        const QStringList values{"11.5", "6", "30", "15"};
        QTest::newRow("no capture yet") << all << QStringList{"", "", "", ""} << "Graph";
        QTest::newRow("all shown") << all << values
                                   << "Graph: Down SNR 11.5, Up SNR 6, Down Attenuation 30, Up Attenuation 15";
        QTest::newRow("hidden series left out")
            << QList<bool>{false, true, false, true} << values << "Graph: Up SNR 6, Up Attenuation 15";
    }

    void graphDescription()
    {
        QFETCH(QList<bool>, shown);
        QFETCH(QStringList, values);
        QFETCH(QString, description);
        const std::array<bool, 4> shownFlags{shown[0], shown[1], shown[2], shown[3]};
        QCOMPARE(AccessibleNames::graphDescription(
                     QStringLiteral("Graph"), shownFlags, std::span(values.constData(), std::size_t(values.size()))),
            description);
    }

    void tabOrder_data()
    {
        QTest::addColumn<bool>("pageTextShown");
        QTest::addColumn<bool>("monitoring");
        QTest::addColumn<QStringList>("order");
        const QStringList router{"addressEdit", "portEdit", "hidePasswordCheck", "userEdit", "passwordEdit",
            "testSettingsButton", "outputFileEdit", "saveCheck", "intervalEdit"};
        const QStringList cells{"minimumValue0", "currentValue0", "maximumValue0", "minimumValue1", "currentValue1",
            "maximumValue1", "minimumValue2", "currentValue2", "maximumValue2", "minimumValue3", "currentValue3",
            "maximumValue3", "statusCaption", "graphSurface"};
        const QStringList bottom{"monitorButton", "balloonsCheck", "trayButton"};
        QTest::newRow("graph at full width") << false << false << router + cells + bottom;
        QTest::newRow("page text beside the graph")
            << true << false << router + cells + QStringList{"testPageButton", "pageTextEdit"} + bottom;
        QTest::newRow("settings locked while monitoring") << false << true << cells + bottom;
    }

    // The shown window starts with the focus in the address box; the rows walk every control that
    // takes the focus.
    void tabOrder()
    {
        QFETCH(bool, pageTextShown);
        QFETCH(bool, monitoring);
        QFETCH(QStringList, order);
        m_window->showPageText(pageTextShown);
        for (const char* locked : {"routerGroup", "monitorGroup", "testSettingsButton"})
            control<QWidget>(locked)->setEnabled(!monitoring);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        if (monitoring)
            control<QWidget>("minimumValue0")->setFocus();
        QStringList walked{QApplication::focusWidget()->objectName()};
        for (int i = 0; i < order.size(); ++i) {
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
            walked << QApplication::focusWidget()->objectName();
        }
        // Once round the window and back to where it started.
        QCOMPARE(walked, order + QStringList{order.constFirst()});
    }

    void accessKeysAreDistinct()
    {
        QMap<QChar, QString> owners;
        QStringList captions;
        for (const QAbstractButton* button : m_window->findChildren<QAbstractButton*>())
            captions << button->text();
        for (const QLabel* label : m_window->findChildren<QLabel*>()) {
            if (label->buddy())
                captions << label->text();
        }
        for (const QString& caption : captions) {
            const QChar key = accessKeyOf(caption);
            QVERIFY2(!key.isNull(), qPrintable(caption));
            QVERIFY2(!owners.contains(key), qPrintable(caption + " and " + owners.value(key)));
            owners.insert(key, caption);
        }
        QCOMPARE(owners.size(), 13);
    }

    void keys_data()
    {
        QTest::addColumn<QString>("target");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<int>("cellClicks");
        const int none = Qt::NoModifier;
        QTest::newRow("space clicks a cell") << "currentValue2" << int(Qt::Key_Space) << none << 1;
        QTest::newRow("return clicks a cell") << "currentValue2" << int(Qt::Key_Return) << none << 1;
        QTest::newRow("keypad enter clicks a cell") << "currentValue2" << int(Qt::Key_Enter) << none << 1;
        QTest::newRow("a letter does nothing") << "currentValue2" << int(Qt::Key_A) << none << 0;
        QTest::newRow("menu key opens the graph menu") << "graphSurface" << int(Qt::Key_Menu) << none << 0;
        QTest::newRow("shift F10 opens the graph menu")
            << "graphSurface" << int(Qt::Key_F10) << int(Qt::ShiftModifier) << 0;
    }

    void keys()
    {
        QFETCH(QString, target);
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(int, cellClicks);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        QSignalSpy clicked(control<ClickableLabel>("currentValue2"), &ClickableLabel::clicked);
        auto* widget = m_window->findChild<QWidget*>(target);
        widget->setFocus();
        QTest::keyClick(widget, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(clicked.count(), cellClicks);
        QCOMPARE(m_window->graphMenu()->isVisible(), target == u"graphSurface");
        m_window->graphMenu()->hide();
    }

private:
    template <typename T> T* control(const char* name) const
    {
        return m_window->findChild<T*>(QString::fromLatin1(name));
    }

    std::unique_ptr<MainWindow> m_window;
};

QTEST_MAIN(TestWindowAccessibility)
#include "TestWindowAccessibility.moc"
