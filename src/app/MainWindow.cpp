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
    mask->setParent(m_ui->txtPass);
    m_ui->txtPass->setStyle(mask);

    collectControlArrays();
    buildTrayMenu();
    buildGraphMenu();
    m_ui->txtIP->setFocus();
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
    m_lblMax = {m_ui->lblMax_0, m_ui->lblMax_1, m_ui->lblMax_2, m_ui->lblMax_3};
    m_lblMin = {m_ui->lblMin_0, m_ui->lblMin_1, m_ui->lblMin_2, m_ui->lblMin_3};
    m_lblStats = {m_ui->lblStats_0, m_ui->lblStats_1, m_ui->lblStats_2, m_ui->lblStats_3};
    m_lblOutput = {m_ui->lblOutput_0, m_ui->lblOutput_1, m_ui->lblOutput_2, m_ui->lblOutput_3, m_ui->lblOutput_4,
        m_ui->lblOutput_5, m_ui->lblOutput_6};
    m_lblHead = {m_ui->lblHead_0, m_ui->lblHead_1, m_ui->lblHead_2, m_ui->lblHead_3, m_ui->lblHead_4, m_ui->lblHead_5};
    m_lblGen = {m_ui->lblGen_0, m_ui->lblGen_1, m_ui->lblGen_2, m_ui->lblGen_3, m_ui->lblGen_4};
    m_shpBorder = {m_ui->shpBorder_0, m_ui->shpBorder_1, m_ui->shpBorder_2, m_ui->shpBorder_3};
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
    m_mnSysTray = new QMenu(QStringLiteral("System Tray"), this);
    m_mnSysTray->setObjectName(QStringLiteral("mnSysTray"));
    m_mnShow = addMenuItem(m_mnSysTray, QStringLiteral("mnShow"), QStringLiteral("Linegauge"), false);
    m_mnShow->setData(0);
    m_mnClose = addMenuItem(m_mnSysTray, QStringLiteral("mnClose"), QStringLiteral("Exit"), false);
    m_mnClose->setData(1);
    // The restore item is the menu's bold default.
    m_mnSysTray->setDefaultAction(m_mnShow);
}

void MainWindow::buildGraphMenu()
{
    m_mnGraph = new QMenu(QStringLiteral("Graph Menu"), this);
    m_mnGraph->setObjectName(QStringLiteral("mnGraph"));
    m_mnMarkers = addMenuItem(m_mnGraph, QStringLiteral("mnMarkers"), QStringLiteral("Markers"), true);
    m_mnLabels = addMenuItem(m_mnGraph, QStringLiteral("mnLabels"), QStringLiteral("Labels"), true);
    m_mnGrid = addMenuItem(m_mnGraph, QStringLiteral("mnGrid"), QStringLiteral("Grid"), true);
    // Auto Range is set only from the settings file; the user cannot choose it here.
    m_mnAutoRange = addMenuItem(m_mnGraph, QStringLiteral("mnAutoRange"), QStringLiteral("Auto Range"), true);
    m_mnAutoRange->setEnabled(false);
}

void MainWindow::centreOnScreen()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
}
