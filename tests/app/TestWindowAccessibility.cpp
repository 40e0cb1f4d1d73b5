#include "app/AccessibleNames.h"
#include "app/ClickableLabel.h"
#include "app/MainWindow.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QSet>
#include <QSignalSpy>
#include <QTest>

#include <memory>

// The window as a screen reader and a keyboard user meet it: every box and value cell told apart,
// one Tab order down the window, distinct access keys, and the graph's menu and series by key.
class TestWindowAccessibility : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_window.reset(); }

    void everyBoxHasItsOwnName();
    void valueCellsHaveDistinctNames();
    void cellName_data();
    void cellName();
    void graphDescription_data();
    void graphDescription();
    void tabOrder_data();
    void tabOrder();
    void accessKeysAreDistinct();
    void keysClickACell_data();
    void keysClickACell();
    void menuKeyOpensGraphMenu_data();
    void menuKeyOpensGraphMenu();

private:
    template <typename T> T* control(const char* name) const
    {
        return m_window->findChild<T*>(QString::fromLatin1(name));
    }

    std::unique_ptr<MainWindow> m_window;
};

namespace {

// Every accessible object under the root, depth first, as a screen reader walks the tree.
void collect(QAccessibleInterface* node, QList<QAccessibleInterface*>& found)
{
    for (int i = 0; i < node->childCount(); ++i) {
        if (QAccessibleInterface* child = node->child(i)) {
            found << child;
            collect(child, found);
        }
    }
}

QList<QAccessibleInterface*> accessibleTree(QWidget* root)
{
    QList<QAccessibleInterface*> found;
    collect(QAccessible::queryAccessibleInterface(root), found);
    return found;
}

QChar accessKeyOf(const QString& caption)
{
    const qsizetype at = caption.indexOf(u'&');
    return at >= 0 && at + 1 < caption.size() ? caption.at(at + 1).toLower() : QChar();
}

} // namespace

void TestWindowAccessibility::init()
{
    m_window = std::make_unique<MainWindow>();
}

void TestWindowAccessibility::everyBoxHasItsOwnName()
{
    QSet<QString> names;
    int boxes = 0;
    for (QAccessibleInterface* node : accessibleTree(m_window.get())) {
        if (!qobject_cast<QLineEdit*>(node->object()))
            continue;
        ++boxes;
        const QString name = node->text(QAccessible::Name);
        QVERIFY2(!name.isEmpty(), qPrintable(node->object()->objectName()));
        QVERIFY2(!names.contains(name), qPrintable(name));
        names.insert(name);
    }
    QCOMPARE(boxes, 6);
    QVERIFY(names.contains(QStringLiteral("IP address")));
    QVERIFY(names.contains(QStringLiteral("Interval (minutes)")));
}

void TestWindowAccessibility::valueCellsHaveDistinctNames()
{
    QSet<QString> names;
    for (QAccessibleInterface* node : accessibleTree(m_window.get())) {
        if (qobject_cast<ClickableLabel*>(node->object()) && node->object()->objectName().contains(u"Value"))
            names.insert(node->text(QAccessible::Name));
    }
    QCOMPARE(names.size(), 12);
    QVERIFY(names.contains(QStringLiteral("Down SNR current")));
    QVERIFY(names.contains(QStringLiteral("Up Attenuation maximum")));
}

void TestWindowAccessibility::cellName_data()
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

void TestWindowAccessibility::cellName()
{
    QFETCH(int, index);
    QFETCH(AccessibleNames::Column, column);
    QFETCH(QString, value);
    QFETCH(QString, name);
    QCOMPARE(AccessibleNames::cellName(index, column, value), name);
}

void TestWindowAccessibility::graphDescription_data()
{
    QTest::addColumn<QList<bool>>("shown");
    QTest::addColumn<QStringList>("values");
    QTest::addColumn<QString>("description");
    QTest::newRow("no capture yet") << QList<bool>{true, true, true, true} << QStringList{"", "", "", ""} << "Graph";
    QTest::newRow("all shown") << QList<bool>{true, true, true, true} << QStringList{"11.5", "6", "30", "15"}
                               << "Graph: Down SNR 11.5, Up SNR 6, Down Attenuation 30, Up Attenuation 15";
    QTest::newRow("hidden series left out")
        << QList<bool>{false, true, false, true} << QStringList{"11.5", "6", "30", "15"}
        << "Graph: Up SNR 6, Up Attenuation 15";
}

void TestWindowAccessibility::graphDescription()
{
    QFETCH(QList<bool>, shown);
    QFETCH(QStringList, values);
    QFETCH(QString, description);
    const std::vector<bool> flags(shown.begin(), shown.end());
    const std::array<bool, 4> shownFlags{flags[0], flags[1], flags[2], flags[3]};
    QCOMPARE(AccessibleNames::graphDescription(
                 QStringLiteral("Graph"), shownFlags, std::span(values.constData(), std::size_t(values.size()))),
        description);
}

void TestWindowAccessibility::tabOrder_data()
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

void TestWindowAccessibility::tabOrder()
{
    QFETCH(bool, pageTextShown);
    QFETCH(bool, monitoring);
    QFETCH(QStringList, order);
    m_window->showPageText(pageTextShown);
    for (QWidget* locked :
        {control<QWidget>("routerGroup"), control<QWidget>("monitorGroup"), control<QWidget>("testSettingsButton")})
        locked->setEnabled(!monitoring);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QWidget* first = control<QWidget>(monitoring ? "minimumValue0" : "addressEdit");
    first->setFocus();
    QStringList walked{first->objectName()};
    for (int i = 0; i < order.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        walked << QApplication::focusWidget()->objectName();
    }
    // Once round the window and back to where it started.
    QCOMPARE(walked, order + QStringList{first->objectName()});
}

void TestWindowAccessibility::accessKeysAreDistinct()
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

void TestWindowAccessibility::keysClickACell_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("clicks");
    QTest::newRow("space") << int(Qt::Key_Space) << 1;
    QTest::newRow("return") << int(Qt::Key_Return) << 1;
    QTest::newRow("keypad enter") << int(Qt::Key_Enter) << 1;
    QTest::newRow("a letter does nothing") << int(Qt::Key_A) << 0;
}

void TestWindowAccessibility::keysClickACell()
{
    QFETCH(int, key);
    QFETCH(int, clicks);
    auto* cell = control<ClickableLabel>("currentValue2");
    QSignalSpy clicked(cell, &ClickableLabel::clicked);
    QTest::keyClick(cell, Qt::Key(key));
    QCOMPARE(clicked.count(), clicks);
}

void TestWindowAccessibility::menuKeyOpensGraphMenu_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::newRow("menu key") << int(Qt::Key_Menu) << int(Qt::NoModifier);
    QTest::newRow("shift F10") << int(Qt::Key_F10) << int(Qt::ShiftModifier);
}

void TestWindowAccessibility::menuKeyOpensGraphMenu()
{
    QFETCH(int, key);
    QFETCH(int, modifiers);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    auto* graph = control<QWidget>("graphSurface");
    graph->setFocus();
    QTest::keyClick(graph, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QVERIFY(m_window->graphMenu()->isVisible());
    m_window->graphMenu()->hide();
}

QTEST_MAIN(TestWindowAccessibility)
#include "TestWindowAccessibility.moc"
