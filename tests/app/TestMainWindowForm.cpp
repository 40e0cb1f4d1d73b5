#include "app/BorderShape.h"
#include "app/ClickableLabel.h"
#include "app/MainWindow.h"
#include "graph/GraphRenderer.h"
#include "graph/GraphState.h"
#include "graph/GraphSurface.h"
#include "platform/Colour.h"
#include "stats/LineStatTable.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionButton>
#include <QStyleOptionFrame>
#include <QTest>

#include <memory>
#include <vector>

// The window as built, checked against its layout table: a misplaced, renamed or mis-captioned
// control breaks the handlers and settings that reach it by name.
class TestMainWindowForm : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void controls_data();
    void controls();
    void labelLooks_data();
    void labelLooks();
    void whatLiesAt_data();
    void whatLiesAt();
    void clicks_data();
    void clicks();
    void menuItems_data();
    void menuItems();
    void captionsFitTheirControls_data();
    void captionsFitTheirControls();
    void statusTextsFitTheStatusLine_data();
    void statusTextsFitTheStatusLine();
    void graphCodesKeepTheSeriesColour_data();
    void graphCodesKeepTheSeriesColour();

    void windowIsFixedWithoutMaximise();
    void controlArraysFollowTheirIndex();
    void bordersLieAboveTheCellsAndShowDarkRed();
    void focusStartsInAddressAndFollowsTabOrder();
    void passwordShowsStars();
    void pageTextBoxScrollsBothWaysWithoutWrapping();
    void routerTextInLabelsIsNeverMarkup();

private:
    QWidget* control(const QString& name) const;
    QPoint centreInWindow(const QString& name) const;
    void showWindow();

    std::unique_ptr<MainWindow> m_window;
};

namespace {

constexpr int notCheckable = -1;
const QString clickTip = QStringLiteral("Click to select/deselect in graph");

QString textOf(const QWidget* widget)
{
    if (const auto* label = qobject_cast<const QLabel*>(widget))
        return label->text();
    if (const auto* button = qobject_cast<const QAbstractButton*>(widget))
        return button->text();
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget))
        return edit->text();
    if (const auto* frame = qobject_cast<const QGroupBox*>(widget))
        return frame->title();
    if (const auto* box = qobject_cast<const QPlainTextEdit*>(widget))
        return box->toPlainText();
    return {};
}

int checkStateOf(const QWidget* widget)
{
    const auto* button = qobject_cast<const QAbstractButton*>(widget);
    if (!button || !button->isCheckable())
        return notCheckable;
    return button->isChecked() ? 1 : 0;
}

// Where the control lays out its caption, as its style places it.
QRect captionArea(const QWidget* widget)
{
    const QStyle* style = widget->style();
    if (qobject_cast<const QCheckBox*>(widget) || qobject_cast<const QPushButton*>(widget)) {
        QStyleOptionButton option;
        option.initFrom(widget);
        const bool check = qobject_cast<const QCheckBox*>(widget);
        return style->subElementRect(
            check ? QStyle::SE_CheckBoxContents : QStyle::SE_PushButtonContents, &option, widget);
    }
    if (const auto* edit = qobject_cast<const QLineEdit*>(widget)) {
        QStyleOptionFrame option;
        option.initFrom(edit);
        option.lineWidth = style->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit);
        // The edit keeps two pixels free on either side of its text, and one for the cursor.
        const QRect contents = style->subElementRect(QStyle::SE_LineEditContents, &option, edit);
        return contents.marginsRemoved(edit->textMargins()).adjusted(2, 0, -3, 0);
    }
    return widget->contentsRect();
}

// The room a text takes in a widget's font: its advance or its ink, whichever reaches further.
QSize neededSize(const QWidget* widget, const QString& text, int flags)
{
    const QFontMetrics metrics(widget->font());
    const QRect laidOut = metrics.boundingRect(captionArea(widget), flags, text);
    const int ink = (flags & Qt::TextWordWrap) ? 0 : metrics.tightBoundingRect(text).right() + 1;
    return {std::max(laidOut.width(), ink), laidOut.height()};
}

void addControl(const char* name, const char* parent, const char* kind, QRect geometry, const QString& text = {},
    const QString& tip = {}, int checked = notCheckable, bool hidden = false)
{
    QTest::newRow(name) << QString::fromLatin1(name) << QString::fromLatin1(parent) << QByteArray(kind) << geometry
                        << text << tip << checked << hidden;
}

void addCell(const char* kind, int index, QRect geometry)
{
    const QByteArray name = QByteArray(kind) + '_' + QByteArray::number(index);
    addControl(name.constData(), "fraStats", "ClickableLabel", geometry, {}, clickTip);
}

} // namespace

void TestMainWindowForm::init()
{
    m_window = std::make_unique<MainWindow>();
}

void TestMainWindowForm::cleanup()
{
    m_window.reset();
}

QWidget* TestMainWindowForm::control(const QString& name) const
{
    auto* widget = m_window->findChild<QWidget*>(name);
    if (!widget)
        qWarning("no control %s", qPrintable(name));
    return widget;
}

QPoint TestMainWindowForm::centreInWindow(const QString& name) const
{
    QWidget* widget = control(name);
    return widget->mapTo(m_window.get(), widget->rect().center());
}

void TestMainWindowForm::showWindow()
{
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
}

void TestMainWindowForm::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("parent");
    QTest::addColumn<QByteArray>("kind");
    QTest::addColumn<QRect>("geometry");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("tip");
    QTest::addColumn<int>("checked");
    QTest::addColumn<bool>("hidden");

    addControl("fraOptions", "MainWindow", "QGroupBox", {8, 0, 329, 65}, "Router Options");
    addControl("chkHidePassword", "fraOptions", "QCheckBox", {232, 16, 95, 13}, "Hide password", "Hide password", 1);
    addControl("txtPort", "fraOptions", "QLineEdit", {192, 16, 33, 19}, "80", "The HTTP port of your router");
    addControl("txtIP", "fraOptions", "QLineEdit", {64, 16, 73, 19}, "10.0.0.2", "The IP address of your router");
    addControl("txtPass", "fraOptions", "QLineEdit", {192, 40, 129, 19}, "", "The router's password");
    addControl("txtUser", "fraOptions", "QLineEdit", {64, 40, 73, 19}, "admin", "The router's username");
    addControl("lblGen_3", "fraOptions", "QLabel", {144, 16, 49, 17}, "Port:");
    addControl("lblGen_2", "fraOptions", "QLabel", {8, 16, 57, 17}, "IP address:");
    addControl("lblGen_1", "fraOptions", "QLabel", {144, 40, 49, 17}, "Password:");
    addControl("lblGen_0", "fraOptions", "QLabel", {8, 40, 57, 17}, "Username:");
    addControl(
        "cmdTest", "MainWindow", "WrapPushButton", {344, 8, 57, 57}, "&Test Settings", "Test the router settings");

    addControl("fraMonitor", "MainWindow", "QGroupBox", {8, 72, 393, 65}, "Monitor settings");
    addControl("txtFilename", "fraMonitor", "QLineEdit", {8, 32, 201, 19}, "stats.csv", "CSV file name");
    addControl("txtInt", "fraMonitor", "QLineEdit", {296, 32, 89, 19}, "1", "Minutes between graph plots");
    addControl("chkSave", "fraMonitor", "WrapCheckBox", {216, 16, 73, 29}, "Save stats to file",
        "If ticked the monitor will save the stats to the stated file", 1);
    addControl("lblOutput_6", "fraMonitor", "QLabel", {8, 16, 80, 13}, "Output file name:");
    addControl("lblGen_4", "fraMonitor", "QLabel", {296, 16, 89, 17}, "Interval (minutes):");

    addControl("fraStats", "MainWindow", "QGroupBox", {8, 144, 393, 113}, "Stats");
    for (int i = 0; i < 4; ++i) {
        const int left = i % 2 ? 264 : 112;
        const int top = i / 2 ? 56 : 32;
        const QByteArray border = "shpBorder_" + QByteArray::number(i);
        addControl(border.constData(), "fraStats", "BorderShape", {left, top, 121, 17});
        addCell("lblMin", i, {left, top, 41, 17});
        addCell("lblStats", i, {left + 40, top, 41, 17});
        addCell("lblMax", i, {left + 80, top, 41, 17});
    }
    addControl("lblStatusLabel", "fraStats", "ClickableLabel", {8, 96, 41, 17}, "Status:");
    addControl("lblStatus", "fraStats", "QLabel", {56, 96, 329, 17}, "");
    addControl("lblCount", "fraStats", "QLabel", {264, 80, 121, 17}, "Next capture: 00:00:00", {}, notCheckable, true);
    addControl("lblLastDrop", "fraStats", "QLabel", {8, 80, 257, 17}, "Last connection drop: None this session");
    addControl("lblHead_0", "fraStats", "QLabel", {152, 16, 41, 17}, "Current");
    addControl("lblHead_1", "fraStats", "QLabel", {304, 16, 41, 17}, "Current");
    addControl("lblHead_2", "fraStats", "QLabel", {112, 16, 41, 17}, "Min");
    addControl("lblHead_3", "fraStats", "QLabel", {264, 16, 41, 17}, "Min");
    addControl("lblHead_4", "fraStats", "QLabel", {192, 16, 41, 17}, "Max");
    addControl("lblHead_5", "fraStats", "QLabel", {344, 16, 41, 17}, "Max");
    addControl("lblOutput_5", "fraStats", "QLabel", {8, 56, 64, 14}, "Attenuation");
    addControl("lblOutput_4", "fraStats", "QLabel", {8, 32, 21, 14}, "SNR");
    addControl("lblOutput_3", "fraStats", "QLabel", {240, 56, 17, 13}, "Up");
    addControl("lblOutput_2", "fraStats", "QLabel", {76, 56, 33, 13}, "Down");
    addControl("lblOutput_1", "fraStats", "QLabel", {240, 32, 17, 13}, "Up");
    addControl("lblOutput_0", "fraStats", "QLabel", {76, 32, 33, 13}, "Down");

    addControl("chkUseBalloons", "MainWindow", "QCheckBox", {136, 392, 137, 13}, "Balloons in system tray?", {}, 0);
    addControl("cmdSysTray", "MainWindow", "QPushButton", {288, 384, 113, 25}, "Send to System &Tray",
        "Send the monitor to the system tray");
    addControl(
        "cmdTimer", "MainWindow", "QPushButton", {8, 384, 105, 25}, "&Start Monitoring", "Toggle the monitoring");
    addControl(
        "picGraph", "MainWindow", "GraphSurface", {8, 264, 393, 113}, {}, "Graph showing the last 100 intervals");
    addControl("txtDebug", "MainWindow", "QPlainTextEdit", {208, 288, 193, 89}, "", "Debug window");
    addControl("cmdTestPage", "MainWindow", "QPushButton", {208, 264, 193, 17}, "Test Page");
}

void TestMainWindowForm::controls()
{
    QFETCH(QString, name);
    QFETCH(QString, parent);
    QFETCH(QByteArray, kind);
    QFETCH(QRect, geometry);
    QFETCH(QString, text);
    QFETCH(QString, tip);
    QFETCH(int, checked);
    QFETCH(bool, hidden);

    QWidget* widget = control(name);
    QVERIFY(widget);
    QCOMPARE(widget->parentWidget()->objectName(), parent);
    QCOMPARE(QByteArray(widget->metaObject()->className()), kind);
    QCOMPARE(widget->geometry(), geometry);
    QCOMPARE(textOf(widget), text);
    QCOMPARE(widget->toolTip(), tip);
    QCOMPARE(checkStateOf(widget), checked);
    QCOMPARE(widget->isHidden(), hidden);
    QVERIFY(widget->isEnabled());
}

void TestMainWindowForm::labelLooks_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("family");
    QTest::addColumn<bool>("bold");
    QTest::addColumn<int>("horizontal");
    QTest::addColumn<QColor>("text");
    QTest::addColumn<QColor>("background");

    const QString sans = QStringLiteral("Liberation Sans");
    // The narrow face where the wider one would cut the caption off in its fixed cell.
    const QString narrow = QStringLiteral("Liberation Sans Narrow");
    const QColor none;
    const QColor windowText = toQColor(0x00000000);
    const int left = Qt::AlignLeft;
    const int centre = Qt::AlignHCenter;
    const int right = Qt::AlignRight;
    QTest::newRow("port caption") << "lblGen_3" << narrow << false << right << QColor() << none;
    QTest::newRow("interval caption") << "lblGen_4" << narrow << false << centre << QColor() << none;
    QTest::newRow("status caption") << "lblStatusLabel" << sans << true << left << QColor() << none;
    QTest::newRow("status line") << "lblStatus"
                                 << "Liberation Mono" << false << left << QColor() << none;
    QTest::newRow("countdown") << "lblCount" << sans << false << centre << windowText << QColor(255, 255, 225);
    QTest::newRow("last drop") << "lblLastDrop" << sans << false << centre << toQColor(0x00C00000) << none;
    QTest::newRow("column heading") << "lblHead_1" << sans << false << centre << QColor() << none;
    QTest::newRow("maximum cell") << "lblMax_2" << sans << false << centre << windowText << toQColor(0x00C0C0FF);
    QTest::newRow("minimum cell") << "lblMin_1" << sans << false << centre << windowText << toQColor(0x00FFC0C0);
    QTest::newRow("current cell") << "lblStats_3" << sans << true << centre << toQColor(0) << toQColor(0x00FFFFFF);
    QTest::newRow("row heading") << "lblOutput_5" << narrow << true << left << QColor() << none;
    QTest::newRow("down snr legend") << "lblOutput_0" << sans << true << left << toQColor(0x00FF0000) << none;
    QTest::newRow("up snr legend") << "lblOutput_1" << sans << true << left << toQColor(0x000000FF) << none;
    QTest::newRow("down att legend") << "lblOutput_2" << sans << true << left << toQColor(0x00C000C0) << none;
    QTest::newRow("up att legend") << "lblOutput_3" << sans << true << left << toQColor(0x00008000) << none;
}

void TestMainWindowForm::labelLooks()
{
    QFETCH(QString, name);
    QFETCH(QString, family);
    QFETCH(bool, bold);
    QFETCH(int, horizontal);
    QFETCH(QColor, text);
    QFETCH(QColor, background);

    auto* label = qobject_cast<QLabel*>(control(name));
    QVERIFY(label);
    QCOMPARE(label->font().family(), family);
    QCOMPARE(label->font().pointSizeF(), 8.25);
    QCOMPARE(label->font().bold(), bold);
    QCOMPARE(int(label->alignment() & Qt::AlignHorizontal_Mask), horizontal);
    if (text.isValid())
        QCOMPARE(label->palette().color(QPalette::WindowText), text);
    QCOMPARE(label->autoFillBackground(), background.isValid());
    if (background.isValid())
        QCOMPARE(label->palette().color(QPalette::Window), background);
}

void TestMainWindowForm::whatLiesAt_data()
{
    QTest::addColumn<QString>("under");
    QTest::addColumn<QPoint>("offset");
    QTest::addColumn<QString>("expected");

    QTest::newRow("page text box under the full-width graph") << "txtDebug" << QPoint(0, 0) << "picGraph";
    QTest::newRow("test page button under the graph") << "cmdTestPage" << QPoint(0, 0) << "picGraph";
    QTest::newRow("border edge over a minimum cell") << "lblMin_0" << QPoint(-20, 0) << "lblMin_0";
    QTest::newRow("border corner over a maximum cell") << "lblMax_3" << QPoint(20, 8) << "lblMax_3";
    QTest::newRow("shared pixel of minimum and current") << "lblStats_1" << QPoint(-20, 0) << "lblMin_1";
    QTest::newRow("shared pixel of current and maximum") << "lblStats_2" << QPoint(20, 0) << "lblMax_2";
}

void TestMainWindowForm::whatLiesAt()
{
    QFETCH(QString, under);
    QFETCH(QPoint, offset);
    QFETCH(QString, expected);

    QWidget* found = m_window->childAt(centreInWindow(under) + offset);
    QVERIFY(found);
    QCOMPARE(found->objectName(), expected);
}

void TestMainWindowForm::clicks_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QPoint>("offset");
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("clicked");

    QTest::newRow("status caption") << "lblStatusLabel" << QPoint(0, 0) << int(Qt::LeftButton) << "lblStatusLabel";
    QTest::newRow("right button on a cell") << "lblStats_0" << QPoint(0, 0) << int(Qt::RightButton) << "";
    QTest::newRow("through a border onto a cell") << "lblMin_2" << QPoint(-20, -8) << int(Qt::LeftButton) << "lblMin_2";
    QTest::newRow("second caption line of save box") << "chkSave" << QPoint(30, 10) << int(Qt::LeftButton) << "chkSave";
}

void TestMainWindowForm::clicks()
{
    QFETCH(QString, target);
    QFETCH(QPoint, offset);
    QFETCH(int, button);
    QFETCH(QString, clicked);

    showWindow();
    std::vector<std::pair<QString, std::unique_ptr<QSignalSpy>>> spies;
    for (auto* label : m_window->findChildren<ClickableLabel*>())
        spies.emplace_back(label->objectName(), std::make_unique<QSignalSpy>(label, &ClickableLabel::clicked));
    for (auto* pressable : m_window->findChildren<QAbstractButton*>())
        spies.emplace_back(pressable->objectName(), std::make_unique<QSignalSpy>(pressable, &QAbstractButton::clicked));

    // Through the window, so the click lands on whatever lies on top at that point.
    QTest::mouseClick(m_window->windowHandle(), Qt::MouseButton(button), {}, centreInWindow(target) + offset);

    for (const auto& [name, spy] : spies)
        QCOMPARE(std::make_pair(name, int(spy->count())), std::make_pair(name, name == clicked ? 1 : 0));
}

void TestMainWindowForm::menuItems_data()
{
    QTest::addColumn<QString>("menu");
    QTest::addColumn<QString>("title");
    QTest::addColumn<int>("position");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("checkable");
    QTest::addColumn<bool>("enabled");

    QTest::newRow("restore") << "mnSysTray"
                             << "System Tray" << 0 << "mnShow"
                             << "Linegauge" << false << true;
    QTest::newRow("exit") << "mnSysTray"
                          << "System Tray" << 1 << "mnClose"
                          << "Exit" << false << true;
    QTest::newRow("markers") << "mnGraph"
                             << "Graph Menu" << 0 << "mnMarkers"
                             << "Markers" << true << true;
    QTest::newRow("labels") << "mnGraph"
                            << "Graph Menu" << 1 << "mnLabels"
                            << "Labels" << true << true;
    QTest::newRow("grid") << "mnGraph"
                          << "Graph Menu" << 2 << "mnGrid"
                          << "Grid" << true << true;
    QTest::newRow("auto range") << "mnGraph"
                                << "Graph Menu" << 3 << "mnAutoRange"
                                << "Auto Range" << true << false;
}

void TestMainWindowForm::menuItems()
{
    QFETCH(QString, menu);
    QFETCH(QString, title);
    QFETCH(int, position);
    QFETCH(QString, item);
    QFETCH(QString, caption);
    QFETCH(bool, checkable);
    QFETCH(bool, enabled);

    auto* popup = m_window->findChild<QMenu*>(menu);
    QVERIFY(popup);
    QCOMPARE(popup->title(), title);
    QVERIFY(popup->actions().size() > position);
    QAction* action = popup->actions().at(position);
    QCOMPARE(action->objectName(), item);
    QCOMPARE(action->text(), caption);
    QCOMPARE(action->isCheckable(), checkable);
    QVERIFY(!action->isChecked());
    QCOMPARE(action->isEnabled(), enabled);
    QVERIFY(action->shortcut().isEmpty());
    if (menu == QLatin1String("mnSysTray"))
        QCOMPARE(action->data().toInt(), position);
}

void TestMainWindowForm::captionsFitTheirControls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");

    const MainWindow window;
    for (const QWidget* widget : window.findChildren<QWidget*>()) {
        const QString caption = textOf(widget);
        if (!caption.isEmpty() && !qobject_cast<const QGroupBox*>(widget))
            QTest::newRow(qPrintable(widget->objectName())) << widget->objectName() << caption;
    }
    QTest::newRow("five-digit port") << "txtPort"
                                     << "65535";
    QTest::newRow("drop time") << "lblLastDrop"
                               << "Last connection drop: Wed 30/12/2026 23:59:59";
}

void TestMainWindowForm::captionsFitTheirControls()
{
    QFETCH(QString, name);
    QFETCH(QString, text);

    const QWidget* widget = control(name);
    QVERIFY(widget);
    const bool wraps = widget->inherits("WrapCheckBox") || widget->inherits("WrapPushButton");
    const int flags = Qt::TextShowMnemonic | (wraps ? Qt::TextWordWrap : 0);
    const QSize needed = neededSize(widget, text, flags);
    const QSize room = captionArea(widget).size();
    QVERIFY2(needed.width() <= room.width() && needed.height() <= room.height(),
        qPrintable(QStringLiteral("%1 needs %2x%3, has %4x%5")
                       .arg(text)
                       .arg(needed.width())
                       .arg(needed.height())
                       .arg(room.width())
                       .arg(room.height())));
}

void TestMainWindowForm::statusTextsFitTheStatusLine_data()
{
    QTest::addColumn<QString>("text");

    // Every text of the program's own list, read from its header, so that later additions are measured too.
    QFile header(QStringLiteral(LINEGAUGE_STATUS_TEXTS));
    QVERIFY(header.open(QIODevice::ReadOnly));
    const QString source = QString::fromUtf8(header.readAll());
    static const QRegularExpression declaration(
        QStringLiteral(R"re(constexpr char (\w+)\[\]\s*=\s*"((?:[^"\\]|\\.)*)")re"));
    int texts = 0;
    for (const QRegularExpressionMatch& match : declaration.globalMatch(source)) {
        QString text = match.captured(2);
        text.replace(QLatin1String("\\\""), QLatin1String("\""));
        QTest::newRow(qPrintable(match.captured(1))) << text;
        ++texts;
    }
    QCOMPARE(texts, int(source.count(QLatin1String("constexpr char"))));
}

void TestMainWindowForm::statusTextsFitTheStatusLine()
{
    QFETCH(QString, text);

    const QWidget* status = control(QStringLiteral("lblStatus"));
    const int needed = neededSize(status, text, 0).width();
    const int room = captionArea(status).width();
    QVERIFY2(needed <= room, qPrintable(QStringLiteral("needs %1 of %2 pixels").arg(needed).arg(room)));
}

void TestMainWindowForm::graphCodesKeepTheSeriesColour_data()
{
    QTest::addColumn<int>("series");
    QTest::newRow("down snr") << 0;
    QTest::newRow("up snr") << 1;
    QTest::newRow("down attenuation") << 2;
    QTest::newRow("up attenuation") << 3;
}

void TestMainWindowForm::graphCodesKeepTheSeriesColour()
{
    QFETCH(int, series);

    auto* surface = qobject_cast<GraphSurface*>(control(QStringLiteral("picGraph")));
    QVERIFY(surface);
    const LineStatTable table;
    GraphState state;
    state.computeScale(surface->scaleWidth(), surface->scaleHeight());
    state.graphSeries.initHistory(statCount - 1, table.seriesColours, state.xStep, state.yScale);
    state.seriesShown.fill(false);
    state.seriesShown[std::size_t(series)] = true;
    GraphRenderer renderer(state, *surface);
    renderer.drawGraph({25.0f, 25.0f, 25.0f, 25.0f}, false, {});

    const QRgb colour = toQColor(table.seriesColours[std::size_t(series)]).rgb();
    const QImage& picture = surface->image();
    // The line rises to the newest point from below; everything above that point is the code.
    const int newestY = state.graphSeries.series(series).points.back().y;
    int codePixels = 0;
    int otherPixels = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb pixel = picture.pixel(x, y);
            codePixels += pixel == colour && y < newestY ? 1 : 0;
            otherPixels += pixel != colour && pixel != qRgb(255, 255, 255) ? 1 : 0;
        }
    }
    QCOMPARE(otherPixels, 0);
    QVERIFY(codePixels > 10);
}

void TestMainWindowForm::windowIsFixedWithoutMaximise()
{
    QCOMPARE(m_window->size(), QSize(409, 420));
    QCOMPARE(m_window->minimumSize(), QSize(409, 420));
    QCOMPARE(m_window->maximumSize(), QSize(409, 420));
    QCOMPARE(m_window->windowTitle(), QStringLiteral("Linegauge by Orvell"));
    QVERIFY(m_window->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!m_window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    QCOMPARE(m_window->windowIcon().availableSizes(), (QList<QSize>{{16, 16}, {32, 32}, {48, 48}}));
    QCOMPARE(m_window->mnSysTray()->defaultAction(), m_window->mnShow());
    QVERIFY(!m_window->mnGraph()->defaultAction());
}

void TestMainWindowForm::controlArraysFollowTheirIndex()
{
    const auto expect = [](const auto& controls, const QString& prefix) {
        for (std::size_t i = 0; i < controls.size(); ++i)
            QCOMPARE(controls[i]->objectName(), prefix + QString::number(i));
    };
    expect(m_window->lblMax(), QStringLiteral("lblMax_"));
    expect(m_window->lblMin(), QStringLiteral("lblMin_"));
    expect(m_window->lblStats(), QStringLiteral("lblStats_"));
    expect(m_window->lblOutput(), QStringLiteral("lblOutput_"));
    expect(m_window->lblHead(), QStringLiteral("lblHead_"));
    expect(m_window->lblGen(), QStringLiteral("lblGen_"));
    expect(m_window->shpBorder(), QStringLiteral("shpBorder_"));
}

void TestMainWindowForm::bordersLieAboveTheCellsAndShowDarkRed()
{
    showWindow();
    QWidget* frame = control(QStringLiteral("fraStats"));
    const QImage picture = frame->grab().toImage();
    const QObjectList stacking = frame->children();
    for (BorderShape* border : m_window->shpBorder()) {
        for (QLabel* label : frame->findChildren<QLabel*>())
            QVERIFY(stacking.indexOf(border) > stacking.indexOf(label));
        const qreal ratio = picture.devicePixelRatio();
        QCOMPARE(picture.pixelColor(border->geometry().topLeft() * ratio), QColor(0x80, 0, 0));
        // No fill: the cell's own colour shows inside the outline.
        QCOMPARE(picture.pixelColor(border->geometry().center() * ratio), toQColor(0x00FFFFFF));
    }
}

void TestMainWindowForm::focusStartsInAddressAndFollowsTabOrder()
{
    showWindow();
    QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
    QCOMPARE(m_window->focusWidget(), control(QStringLiteral("txtIP")));

    const QStringList expected{"txtIP", "txtPort", "txtUser", "txtPass", "cmdTimer", "cmdTest", "cmdSysTray",
        "txtDebug", "chkUseBalloons", "chkSave", "txtInt", "txtFilename", "cmdTestPage", "chkHidePassword"};
    QStringList order;
    QWidget* next = control(QStringLiteral("txtIP"));
    while (order.size() < expected.size()) {
        if (next->focusPolicy() & Qt::TabFocus)
            order << next->objectName();
        next = next->nextInFocusChain();
    }
    QCOMPARE(order, expected);
}

void TestMainWindowForm::passwordShowsStars()
{
    auto* password = qobject_cast<QLineEdit*>(control(QStringLiteral("txtPass")));
    QVERIFY(password);
    QCOMPARE(password->echoMode(), QLineEdit::Password);
    QCOMPARE(password->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, password), int('*'));
    QVERIFY(password->maxLength() >= 32767);
}

void TestMainWindowForm::pageTextBoxScrollsBothWaysWithoutWrapping()
{
    auto* page = qobject_cast<QPlainTextEdit*>(control(QStringLiteral("txtDebug")));
    QVERIFY(page);
    QCOMPARE(page->lineWrapMode(), QPlainTextEdit::NoWrap);
    QCOMPARE(page->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(page->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
}

void TestMainWindowForm::routerTextInLabelsIsNeverMarkup()
{
    for (QLabel* label : m_window->findChildren<QLabel*>())
        QCOMPARE(std::make_pair(label->objectName(), label->textFormat()),
            std::make_pair(label->objectName(), Qt::PlainText));
}

QTEST_MAIN(TestMainWindowForm)
#include "TestMainWindowForm.moc"
