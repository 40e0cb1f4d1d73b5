#include "app/BorderShape.h"
#include "app/ClickableLabel.h"
#include "app/MainWindow.h"
#include "app/PageTextBox.h"
#include "app/ProgramIcon.h"
#include "app/QtMessageBox.h"
#include "app/WindowPalette.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFile>
#include <QHash>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

double luminance(QRgb rgb)
{
    const auto channel = [](int value) {
        const double c = value / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(qRed(rgb)) + 0.7152 * channel(qGreen(rgb)) + 0.0722 * channel(qBlue(rgb));
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
    const QList<int> tallies = counts.values();
    const double background = luminance(counts.key(*std::max_element(tallies.cbegin(), tallies.cend())));
    double best = 1;
    for (const QRgb colour : counts.keys()) {
        const auto [darker, lighter] = std::minmax({background, luminance(colour)});
        best = std::max(best, (lighter + 0.05) / (darker + 0.05));
    }
    return best;
}

} // namespace

// The window by mouse, keyboard and screen reader, on a light or a dark desktop, where every text,
// measured from its rendering, stands out at least 3:1 from what lies behind it.
class TestMainWindow : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_window = std::make_unique<MainWindow>(); }
    void cleanup()
    {
        m_window.reset();
        QApplication::setPalette(m_desktop);
    }

    void whatLiesAt_data()
    {
        QTest::addColumn<QString>("under");
        QTest::addColumn<QPoint>("offset");
        QTest::addColumn<QString>("onTop");

        QTest::newRow("page text box under the full-width graph") << "pageTextEdit" << QPoint(0, 0) << "graphSurface";
        QTest::newRow("border edge over a minimum cell") << "minimumValue0" << QPoint(-20, 0) << "minimumValue0";
        QTest::newRow("shared pixel of minimum and current") << "currentValue1" << QPoint(-20, 0) << "minimumValue1";
        QTest::newRow("status caption") << "statusCaption" << QPoint(0, 0) << "statusCaption";
        QTest::newRow("second caption line of save box") << "saveCheck" << QPoint(30, 10) << "saveCheck";
    }

    // What lies on top takes the click: a left click reaches it alone, a right click reaches nothing.
    void whatLiesAt()
    {
        QFETCH(QString, under);
        QFETCH(QPoint, offset);
        QFETCH(QString, onTop);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        const QPoint point = control(under)->mapTo(m_window.get(), control(under)->rect().center()) + offset;
        QCOMPARE(m_window->childAt(point)->objectName(), onTop);

        std::vector<std::pair<QString, std::unique_ptr<QSignalSpy>>> spies;
        for (auto* label : m_window->findChildren<ClickableLabel*>())
            spies.emplace_back(label->objectName(), std::make_unique<QSignalSpy>(label, &ClickableLabel::clicked));
        for (auto* button : m_window->findChildren<QAbstractButton*>())
            spies.emplace_back(button->objectName(), std::make_unique<QSignalSpy>(button, &QAbstractButton::clicked));
        QTest::mouseClick(m_window->windowHandle(), Qt::RightButton, {}, point);
        QTest::mouseClick(m_window->windowHandle(), Qt::LeftButton, {}, point);
        for (const auto& [name, spy] : spies)
            QCOMPARE(std::make_pair(name, int(spy->count())), std::make_pair(name, name == onTop ? 1 : 0));
    }

    void textsSetAtRunTimeFit_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text");
        QTest::newRow("drop time") << "lastDropLabel"
                                   << "Last connection drop: Wed 30/12/2026 23:59:59";
        // Every status text of the program's own list, read from its header, so later additions are measured too.
        QFile header(QStringLiteral(LINEGAUGE_STATUS_TEXTS));
        QVERIFY(header.open(QIODevice::ReadOnly | QIODevice::Text));
        for (const QString& line : QString::fromUtf8(header.readAll()).split(u'\n')) {
            if (line.contains(QLatin1String("constexpr char")))
                QTest::newRow(qPrintable(line.section(u'[', 0, 0).section(u' ', -1)))
                    << "statusLabel" << line.section(u'"', 1, -2).replace(QLatin1String("\\\""), QLatin1String("\""));
        }
    }

    // Texts that come while the program runs, into labels sized for them.
    void textsSetAtRunTimeFit()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        const QWidget* label = control(name);
        // The room the text takes in the label's font: its advance or its ink, whichever reaches further.
        const QFontMetrics metrics(label->font());
        const QRect laidOut = metrics.boundingRect(label->contentsRect(), Qt::TextShowMnemonic, text);
        QCOMPARE_LE(
            std::max(laidOut.width(), metrics.tightBoundingRect(text).right() + 1), label->contentsRect().width());
        QCOMPARE_LE(laidOut.height(), label->contentsRect().height());
    }

    void pageText_data()
    {
        QTest::addColumn<QStringList>("fetched");
        QTest::addColumn<QString>("typed");

        const QString crOnly = QStringLiteral("var st_dw_snr_margin = \"9.5\";\rvar st_up_snr_margin = \"7.0\";\r");
        const QString noBreak = QStringLiteral("var st_dw_snr_margin =\u00A0\"9.5\";\n");
        QTest::newRow("lone carriage returns") << QStringList{crOnly} << QString();
        QTest::newRow("no-break space") << QStringList{noBreak} << QString();
        QTest::newRow("later fetch replaces the page") << QStringList{noBreak, crOnly} << QString();
        QTest::newRow("edited after the fetch") << QStringList{crOnly} << "x";
        QTest::newRow("typed without a fetch") << QStringList{} << "var st_up_snr_margin = \"1\";";
    }

    // "Test Page" parses what the router sent, not the page-text box's rendering of it, unless the user edited the box.
    void pageText()
    {
        QFETCH(QStringList, fetched);
        QFETCH(QString, typed);
        auto* box = qobject_cast<QPlainTextEdit*>(control("pageTextEdit"));
        PageTextBox page(*box);
        for (const QString& text : fetched)
            page.showFetchedPage(text);
        box->moveCursor(QTextCursor::End);
        QTest::keyClicks(box, typed);

        QCOMPARE(page.pageText(), typed.isEmpty() ? fetched.last() : box->toPlainText());
        QVERIFY(typed.isEmpty() ? box->toPlainText() != fetched.last() : box->toPlainText().endsWith(typed));
    }

    // What the form cannot hold: a fixed size without a maximise box, a fractional font, the password mask.
    void windowSetsWhatTheFormCannotHold()
    {
        QCOMPARE(m_window->minimumSize(), m_window->maximumSize());
        QVERIFY(m_window->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!m_window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
        QCOMPARE(m_window->font().family() + u' ' + QString::number(m_window->font().pointSizeF()),
            QStringLiteral("Liberation Sans 8.25"));
        const QWidget* password = control("passwordEdit");
        QCOMPARE(password->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, password), int('*'));
    }

    void seriesBordersAreDarkRedOutlines()
    {
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        const QImage picture = control("statsGroup")->grab().toImage();
        const qreal ratio = picture.devicePixelRatio();
        for (const BorderShape* border : m_window->seriesBorders()) {
            QCOMPARE(picture.pixelColor(border->geometry().topLeft() * ratio), QColor(0x80, 0, 0));
            // No fill: the cell's own colour shows inside the outline.
            QCOMPARE(picture.pixelColor(border->geometry().center() * ratio), QColor(255, 255, 255));
        }
    }

    void iconRenderedAt_data()
    {
        QTest::addColumn<int>("size");
        for (int size : {16, 22, 24, 32, 48, 64, 128, 256})
            QTest::addRow("%d pixels", size) << size;
    }

    // A size the icon lacks is scaled from another one and shows blurred in that menu or launcher.
    void iconRenderedAt()
    {
        QFETCH(int, size);
        const QIcon icon = ProgramIcon::icon();
        QVERIFY(icon.availableSizes().contains(QSize(size, size)));
        const QImage image = icon.pixmap(size).toImage();
        QCOMPARE(image.size(), QSize(size, size));
        // The screen's frame crosses the middle column a tenth of the way down.
        QCOMPARE(image.pixelColor(size / 2, size / 10).alpha(), 255);
    }

    // The router's error box waits for the user without holding up the program behind it.
    void messageBoxReturnsAtOnce()
    {
        m_window->show();
        QtMessageBox messageBox(m_window.get());
        // A box running its own event loop would return only through this rescue.
        QTimer rescue;
        connect(&rescue, &QTimer::timeout, this, [this] { m_window->findChild<QMessageBox*>()->close(); });
        rescue.setSingleShot(true);
        rescue.start(2000);

        messageBox.showExclamation(QStringLiteral("Linegauge"), QStringLiteral("Unable to log in to the router."));
        QVERIFY(rescue.isActive());
        rescue.stop();
        const QPointer<QMessageBox> box = m_window->findChild<QMessageBox*>();
        QVERIFY(box && box->isVisible());
        QCOMPARE(box->text(), QStringLiteral("Unable to log in to the router."));
        QCOMPARE(box->icon(), QMessageBox::Warning);
        QVERIFY(messageBox.isShowing());
        box->button(QMessageBox::Ok)->click();
        QVERIFY(!messageBox.isShowing());
        QTRY_VERIFY(box.isNull());
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

    // Focus starts in the address box; the rows walk every control that takes the focus.
    void tabOrder()
    {
        QFETCH(bool, pageTextShown);
        QFETCH(bool, monitoring);
        QFETCH(QStringList, order);
        m_window->showPageText(pageTextShown);
        for (const char* locked : {"routerGroup", "monitorGroup", "testSettingsButton"})
            control(locked)->setEnabled(!monitoring);
        m_window->show();
        QVERIFY(QTest::qWaitForWindowActive(m_window.get()));
        if (monitoring)
            control("minimumValue0")->setFocus();
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
            const qsizetype at = caption.indexOf(u'&');
            QVERIFY2(at >= 0 && at + 1 < caption.size(), qPrintable(caption));
            const QChar key = caption.at(at + 1).toLower();
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
        QTest::newRow("shift F10 opens the menu") << "graphSurface" << int(Qt::Key_F10) << int(Qt::ShiftModifier) << 0;
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
        auto* widget = control(target);
        widget->setFocus();
        QTest::keyClick(widget, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        QCOMPARE(clicked.count(), cellClicks);
        QCOMPARE(m_window->graphMenu()->isVisible(), target == u"graphSurface");
        m_window->graphMenu()->hide();
    }

    void textStandsOut_data()
    {
        QTest::addColumn<bool>("dark");
        QTest::addColumn<QString>("name");
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
        QFETCH(QString, name);
        onDesktop(dark);
        auto* widget = control(name);
        QVERIFY(widget);
        widget->show();
        // Cells and the status line get their texts while the program runs.
        if (auto* label = qobject_cast<QLabel*>(widget); label && label->text().isEmpty())
            label->setText(QStringLiteral("Monitoring 11.5"));
        QCOMPARE_GE(
            textContrast(m_window->grab(QRect(widget->mapTo(m_window.get(), QPoint(0, 0)), widget->size())).toImage()),
            3.0);
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
        const QPalette desktop = dark ? m_dark : m_desktop;
        QCOMPARE(WindowPalette::isDark(desktop), dark);
        QVERIFY(!WindowPalette::isDark(WindowPalette::forDesktop(desktop)));
        QVERIFY(dark || WindowPalette::forDesktop(desktop).resolveMask() == 0);
        onDesktop(dark);
        auto* box = control<QLineEdit>("addressEdit");
        const QImage open = box->grab().toImage();
        box->setEnabled(false);
        const QImage locked = box->grab().toImage();
        QVERIFY(open != locked);
        QVERIFY(textContrast(locked) < textContrast(open));
    }

    // The tree as a screen reader reads it over AT-SPI, read by the system's Python on the accessibility
    // bus of the test's own run (TestAtspiTree): every box and every value cell has a name of its own.
    void atspiNamesRead_data()
    {
        QTest::addColumn<QString>("role");
        QTest::addColumn<int>("distinct");
        QTest::addColumn<QStringList>("someNames");
        QStringList cells;
        for (const char* statistic : {"Down SNR", "Up SNR", "Down Attenuation", "Up Attenuation"}) {
            for (const char* column : {" minimum", " current", " maximum"})
                cells << QLatin1String(statistic) + QLatin1String(column);
        }
        QTest::newRow("entry boxes by their captions")
            << "text" << 6 << QStringList{"IP address", "Interval (minutes)", "Page text"};
        QTest::newRow("password box by its caption") << "password text" << 1 << QStringList{"Password"};
        QTest::newRow("value cells by statistic and column") << "label" << 12 << cells;
        if (!qEnvironmentVariableIsSet("LINEGAUGE_PYTHON") || !m_namesByRole.isEmpty())
            return;
        MainWindow window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QProcess reader;
        reader.start(qEnvironmentVariable("LINEGAUGE_PYTHON"),
            {QStringLiteral(LINEGAUGE_ATSPI_READER), QCoreApplication::applicationName()});
        // The reader asks this process over the bus, so the events must keep flowing while it reads.
        QTRY_COMPARE_WITH_TIMEOUT(reader.state(), QProcess::NotRunning, 60000);
        QVERIFY2(reader.exitCode() == 0, reader.readAllStandardError().constData());
        for (const QString& line : QString::fromUtf8(reader.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts))
            m_namesByRole.insert(line.section(u'\t', 0, 0), line.section(u'\t', 1));
    }

    void atspiNamesRead()
    {
        if (!qEnvironmentVariableIsSet("LINEGAUGE_PYTHON"))
            QSKIP("read in the run on an accessibility bus");
        QFETCH(QString, role);
        QFETCH(int, distinct);
        QFETCH(QStringList, someNames);
        const QStringList names = m_namesByRole.values(role);
        QVERIFY2(!names.contains(QString()) || role == u"label", qPrintable(names.join(u',')));
        QVERIFY2(QSet<QString>(names.begin(), names.end()).size() >= distinct, qPrintable(names.join(u',')));
        for (const QString& name : someNames)
            QVERIFY2(names.contains(name), qPrintable(name + " not in " + names.join(u',')));
    }

private:
    // A dark desktop needs a window made anew; the one init() made is on the light one the test started on.
    void onDesktop(bool dark)
    {
        if (dark) {
            QApplication::setPalette(m_dark);
            m_window = std::make_unique<MainWindow>();
        }
    }

    template <typename T = QWidget> T* control(const QString& name) const { return m_window->findChild<T*>(name); }

    std::unique_ptr<MainWindow> m_window;
    QPalette m_desktop = QApplication::palette();
    // A dark desktop theme: white text on a dark grey window.
    const QPalette m_dark{QColor(53, 53, 53)};
    QMultiHash<QString, QString> m_namesByRole;
};

QTEST_MAIN(TestMainWindow)
#include "TestMainWindow.moc"
