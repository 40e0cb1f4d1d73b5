#include "app/BorderShape.h"
#include "app/ClickableLabel.h"
#include "app/MainWindow.h"
#include "app/PageTextBox.h"

#include <QAbstractButton>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMetaEnum>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStyle>
#include <QTest>

#include <memory>

namespace {

QString textOf(const QObject* object)
{
    for (const char* name : {"text", "title", "plainText"}) {
        if (const QVariant value = object->property(name); value.isValid())
            return value.toString();
    }
    return {};
}

QString placeOf(const QObject* object)
{
    if (const auto* widget = qobject_cast<const QWidget*>(object)) {
        const QRect r = widget->geometry();
        return QStringLiteral("%1,%2 %3x%4").arg(r.x()).arg(r.y()).arg(r.width()).arg(r.height());
    }
    const auto* menu = qobject_cast<const QMenu*>(object->parent());
    return QStringLiteral("%1 item %2")
        .arg(menu->title())
        .arg(menu->actions().indexOf(qobject_cast<const QAction*>(object)));
}

QStringList traitsOf(const QObject* object)
{
    QStringList traits;
    if (const auto* widget = qobject_cast<const QWidget*>(object)) {
        const QFont font = widget->font();
        traits << font.family() + u' '
                + (font.pointSizeF() > 0 ? QString::number(font.pointSizeF())
                                         : QString::number(font.pixelSize()) + "px");
        if (font.bold())
            traits << "bold";
        if (widget->isHidden())
            traits << "hidden";
    }
    if (const auto* label = qobject_cast<const QLabel*>(object)) {
        traits << QMetaEnum::fromType<Qt::Alignment>().valueToKey(int(label->alignment() & Qt::AlignHorizontal_Mask))
               << "text " + label->palette().color(QPalette::WindowText).name();
        if (label->autoFillBackground())
            traits << "on " + label->palette().color(QPalette::Window).name();
        if (label->textFormat() != Qt::PlainText)
            traits << "markup";
    }
    if (const auto* edit = qobject_cast<const QLineEdit*>(object)) {
        if (edit->echoMode() != QLineEdit::Normal)
            traits << QStringLiteral("masked with ")
                    + QChar(edit->style()->styleHint(QStyle::SH_LineEdit_PasswordCharacter, nullptr, edit));
        if (edit->maxLength() < 32767)
            traits << "at most " + QString::number(edit->maxLength());
    }
    if (const auto* box = qobject_cast<const QPlainTextEdit*>(object); box
        && box->lineWrapMode() == QPlainTextEdit::NoWrap && box->horizontalScrollBarPolicy() == Qt::ScrollBarAlwaysOn
        && box->verticalScrollBarPolicy() == Qt::ScrollBarAlwaysOn)
        traits << "unwrapped with scroll bars";
    if (const auto* action = qobject_cast<const QAction*>(object)) {
        if (qobject_cast<const QMenu*>(action->parent())->defaultAction() == action)
            traits << "default";
        if (action->data().isValid())
            traits << "index " + action->data().toString();
        if (!action->shortcut().isEmpty())
            traits << "shortcut " + action->shortcut().toString();
    }
    if (object->property("checkable").toBool())
        traits << (object->property("checked").toBool() ? "ticked" : "unticked");
    if (!object->property("enabled").toBool())
        traits << "disabled";
    return traits;
}

// One line of the layout table: name | parent | class | place | caption | tooltip | font and traits.
QString describe(const QObject* object)
{
    return QStringList{object->objectName(), object->parent()->objectName(), object->metaObject()->className(),
        placeOf(object), textOf(object), object->property("toolTip").toString(), traitsOf(object).join(", ")}
        .join(" | ");
}

} // namespace

// The window as built, checked against its layout table: a misplaced, renamed or mis-captioned
// control breaks the handlers and settings that reach it by name.
class TestMainWindowForm : public QObject
{
    Q_OBJECT

private slots:
    void init() { m_window = std::make_unique<MainWindow>(); }
    void cleanup() { m_window.reset(); }

    void layout_data()
    {
        QTest::addColumn<QString>("expected");
        QFile table(QStringLiteral(LINEGAUGE_LAYOUT_TABLE));
        QVERIFY(table.open(QIODevice::ReadOnly | QIODevice::Text));
        for (const QString& line : QString::fromUtf8(table.readAll()).split(u'\n', Qt::SkipEmptyParts)) {
            if (!line.startsWith(u'#'))
                QTest::newRow(qPrintable(line.section(QStringLiteral(" | "), 0, 0))) << line;
        }
    }

    void layout()
    {
        QFETCH(QString, expected);
        const auto* object = m_window->findChild<QObject*>(QTest::currentDataTag());
        QVERIFY(object);
        QCOMPARE(describe(object), expected);
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

    void textsSetAtRunTimeFit_data();
    // The captions the form holds are pinned by the layout table; these texts come later, into labels.
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
        auto* box = qobject_cast<QPlainTextEdit*>(control(QStringLiteral("pageTextEdit")));
        PageTextBox page(*box);
        for (const QString& text : fetched)
            page.showFetchedPage(text);
        box->moveCursor(QTextCursor::End);
        QTest::keyClicks(box, typed);

        QCOMPARE(page.pageText(), typed.isEmpty() ? fetched.last() : box->toPlainText());
        QVERIFY(typed.isEmpty() ? box->toPlainText() != fetched.last() : box->toPlainText().endsWith(typed));
    }

    void windowIsFixedWithoutMaximise()
    {
        QCOMPARE((QList<QSize>{m_window->size(), m_window->minimumSize(), m_window->maximumSize()}),
            QList<QSize>(3, QSize(409, 420)));
        QVERIFY(m_window->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!m_window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    }

    void seriesBordersAreDarkRedOutlines()
    {
        m_window->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
        const QImage picture = control(QStringLiteral("statsGroup"))->grab().toImage();
        const qreal ratio = picture.devicePixelRatio();
        for (const BorderShape* border : m_window->seriesBorders()) {
            QCOMPARE(picture.pixelColor(border->geometry().topLeft() * ratio), QColor(0x80, 0, 0));
            // No fill: the cell's own colour shows inside the outline.
            QCOMPARE(picture.pixelColor(border->geometry().center() * ratio), QColor(255, 255, 255));
        }
    }

private:
    QWidget* control(const QString& name) const { return m_window->findChild<QWidget*>(name); }

    std::unique_ptr<MainWindow> m_window;
};

// Its raw string stays out of the class, where the meta-object compiler does not read it.
void TestMainWindowForm::textsSetAtRunTimeFit_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");
    QTest::newRow("drop time") << "lastDropLabel"
                               << "Last connection drop: Wed 30/12/2026 23:59:59";
    // Every status text of the program's own list, read from its header, so later additions are measured too.
    QFile header(QStringLiteral(LINEGAUGE_STATUS_TEXTS));
    QVERIFY(header.open(QIODevice::ReadOnly));
    const QString source = QString::fromUtf8(header.readAll());
    static const QRegularExpression declaration(
        QStringLiteral(R"re(constexpr char (\w+)\[\]\s*=\s*"((?:[^"\\]|\\.)*)")re"));
    int texts = 0;
    for (const QRegularExpressionMatch& match : declaration.globalMatch(source)) {
        QTest::newRow(qPrintable(match.captured(1)))
            << "statusLabel" << match.captured(2).replace(QLatin1String("\\\""), QLatin1String("\""));
        ++texts;
    }
    QCOMPARE(texts, int(source.count(QLatin1String("constexpr char"))));
}

QTEST_MAIN(TestMainWindowForm)
#include "TestMainWindowForm.moc"
