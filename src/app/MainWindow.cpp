#include "app/MainWindow.h"

#include "ui_MainWindow.h"

#include "app/AccessibleNames.h"
#include "app/ClickableLabel.h"
#include "app/PasswordMaskStyle.h"
#include "app/WindowPalette.h"

#include <QApplication>
#include <QEvent>
#include <QMenu>
#include <QScreen>
#include <QShortcut>
#include <QStyleFactory>

#include <utility>
#include <vector>

namespace {

// The window's font. The form file cannot hold it, as it stores whole points only; it is set
// before the controls are made, so that each control lays its text out once, in its final font.
QFont windowFont()
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setPointSizeF(8.25);
    return font;
}

} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::MainWindow>())
{
    setFont(windowFont());
    m_ui->setupUi(this);
    // Fixed border with a minimise box but no maximise box.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
        | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);

    auto* mask = new PasswordMaskStyle(QStyleFactory::create(style()->name()));
    mask->setParent(m_ui->passwordEdit);
    m_ui->passwordEdit->setStyle(mask);

    collectControlArrays();
    buildTrayMenu();
    buildGraphMenu();
    nameControls();
    makeKeyboardReachable();
    showPageText(false);
    buildTabOrder();
    followDesktopPalette();
    m_ui->addressEdit->setFocus();
    centreOnScreen();
}

MainWindow::~MainWindow() = default;

void MainWindow::collectControlArrays()
{
    m_maximumValues = {m_ui->maximumValue0, m_ui->maximumValue1, m_ui->maximumValue2, m_ui->maximumValue3};
    m_minimumValues = {m_ui->minimumValue0, m_ui->minimumValue1, m_ui->minimumValue2, m_ui->minimumValue3};
    m_currentValues = {m_ui->currentValue0, m_ui->currentValue1, m_ui->currentValue2, m_ui->currentValue3};
    m_seriesBorders = {m_ui->seriesBorder0, m_ui->seriesBorder1, m_ui->seriesBorder2, m_ui->seriesBorder3};
}

QAction* MainWindow::addMenuItem(QMenu* menu, const QString& name, const QString& caption, bool checkable)
{
    QAction* item = menu->addAction(caption);
    item->setObjectName(name);
    item->setCheckable(checkable);
    return item;
}

void MainWindow::buildTrayMenu()
{
    m_trayMenu = new QMenu(QStringLiteral("System Tray"), this);
    m_trayMenu->setObjectName(QStringLiteral("trayMenu"));
    m_showAction = addMenuItem(m_trayMenu, QStringLiteral("showAction"), QStringLiteral("Linegauge"), false);
    m_showAction->setData(0);
    m_exitAction = addMenuItem(m_trayMenu, QStringLiteral("exitAction"), QStringLiteral("Exit"), false);
    m_exitAction->setData(1);
    // The restore item is the menu's bold default.
    m_trayMenu->setDefaultAction(m_showAction);
}

void MainWindow::buildGraphMenu()
{
    m_graphMenu = new QMenu(QStringLiteral("Graph Menu"), this);
    m_graphMenu->setObjectName(QStringLiteral("graphMenu"));
    m_markersAction = addMenuItem(m_graphMenu, QStringLiteral("markersAction"), QStringLiteral("Markers"), true);
    m_labelsAction = addMenuItem(m_graphMenu, QStringLiteral("labelsAction"), QStringLiteral("Labels"), true);
    m_gridAction = addMenuItem(m_graphMenu, QStringLiteral("gridAction"), QStringLiteral("Grid"), true);
    // Auto Range is set only from the settings file; the user cannot choose it here.
    m_autoRangeAction = addMenuItem(m_graphMenu, QStringLiteral("autoRangeAction"), QStringLiteral("Auto Range"), true);
    m_autoRangeAction->setEnabled(false);
}

void MainWindow::centreOnScreen()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}

void MainWindow::nameControls()
{
    // Each caption is its box's buddy: its access key moves into the box, and its words name the box.
    const Ui::MainWindow& ui = *m_ui;
    for (const auto& [caption, box] :
        {std::pair{ui.addressCaption, ui.addressEdit}, std::pair{ui.portCaption, ui.portEdit},
            std::pair{ui.userCaption, ui.userEdit}, std::pair{ui.passwordCaption, ui.passwordEdit},
            std::pair{ui.outputFileCaption, ui.outputFileEdit}, std::pair{ui.intervalCaption, ui.intervalEdit}}) {
        caption->setBuddy(box);
        box->setAccessibleName(AccessibleNames::fromCaption(caption->text()));
    }
    using AccessibleNames::Column;
    for (std::size_t i = 0; i < statCount; ++i) {
        m_minimumValues[i]->setAccessibleName(AccessibleNames::cellName(int(i), Column::minimum, {}));
        m_currentValues[i]->setAccessibleName(AccessibleNames::cellName(int(i), Column::current, {}));
        m_maximumValues[i]->setAccessibleName(AccessibleNames::cellName(int(i), Column::maximum, {}));
    }
    m_ui->statusLabel->setAccessibleName(AccessibleNames::fromCaption(m_ui->statusCaption->text()));
    m_ui->graphSurface->setAccessibleName(QStringLiteral("Graph"));
    m_ui->graphSurface->setAccessibleDescription(m_ui->graphSurface->toolTip());
    m_ui->pageTextEdit->setAccessibleName(QStringLiteral("Page text"));
}

void MainWindow::makeKeyboardReachable()
{
    for (const StatLabels* cells : {&m_minimumValues, &m_currentValues, &m_maximumValues}) {
        for (ClickableLabel* cell : *cells)
            cell->setFocusPolicy(Qt::StrongFocus);
    }
    m_ui->statusCaption->setFocusPolicy(Qt::StrongFocus);
    GraphSurface* surface = m_ui->graphSurface;
    surface->setFocusPolicy(Qt::StrongFocus);
    // The keyboard's way to the graph's menu: the menu key or Shift+F10 while the graph has the focus.
    for (const QKeySequence& keys : {QKeySequence(Qt::Key_Menu), QKeySequence(Qt::SHIFT | Qt::Key_F10)}) {
        auto* shortcut = new QShortcut(keys, surface);
        shortcut->setContext(Qt::WidgetShortcut);
        connect(shortcut, &QShortcut::activated, this,
            [this, surface] { m_graphMenu->popup(surface->mapToGlobal(surface->rect().center())); });
    }
    m_ui->pageTextEdit->setTabChangesFocus(true);
}

void MainWindow::buildTabOrder()
{
    // Top to bottom as the window shows them, left to right along each row.
    const Ui::MainWindow& ui = *m_ui;
    std::vector<QWidget*> order{ui.addressEdit, ui.portEdit, ui.hidePasswordCheck, ui.userEdit, ui.passwordEdit,
        ui.testSettingsButton, ui.outputFileEdit, ui.saveCheck, ui.intervalEdit};
    for (std::size_t i = 0; i < statCount; ++i)
        order.insert(order.end(), {m_minimumValues[i], m_currentValues[i], m_maximumValues[i]});
    order.insert(order.end(),
        {ui.statusCaption, ui.graphSurface, ui.testPageButton, ui.pageTextEdit, ui.monitorButton, ui.balloonsCheck,
            ui.trayButton});
    for (std::size_t i = 1; i < order.size(); ++i)
        setTabOrder(order[i - 1], order[i]);
}

void MainWindow::showPageText(bool shown)
{
    m_ui->testPageButton->setVisible(shown);
    m_ui->pageTextEdit->setVisible(shown);
}

void MainWindow::followDesktopPalette()
{
    setPalette(WindowPalette::forDesktop(QApplication::palette()));
}

void MainWindow::changeEvent(QEvent* event)
{
    // A theme switched while the program runs.
    if (event->type() == QEvent::ApplicationPaletteChange)
        followDesktopPalette();
    QWidget::changeEvent(event);
}
