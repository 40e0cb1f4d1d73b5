#include "app/MainWindow.h"

#include "ui_MainWindow.h"

#include "app/PasswordMaskStyle.h"
#include "app/ProgramIcon.h"

#include <QGuiApplication>
#include <QMenu>
#include <QScreen>
#include <QStyleFactory>

namespace {

// Point sizes the form file cannot hold: it stores whole points only.
constexpr qreal windowPointSize = 8.25;

} // namespace

MainWindow::MainWindow(QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::MainWindow>())
{
    m_ui->setupUi(this);
    // Fixed border with a minimise box but no maximise box.
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint
        | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    setWindowIcon(ProgramIcon::icon());
    applyFontSizes();

    auto* mask = new PasswordMaskStyle(QStyleFactory::create(style()->name()));
    mask->setParent(m_ui->passwordEdit);
    m_ui->passwordEdit->setStyle(mask);

    collectControlArrays();
    buildTrayMenu();
    buildGraphMenu();
    m_ui->addressEdit->setFocus();
    centreOnScreen();
}

MainWindow::~MainWindow() = default;

void MainWindow::applyFontSizes()
{
    QFont windowFont = font();
    windowFont.setPointSizeF(windowPointSize);
    setFont(windowFont);
}

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
