#include "app/MainController.h"

#include "ui_MainWindow.h"

#include "app/AppInfo.h"
#include "app/ClickableLabel.h"
#include "app/MainWindow.h"
#include "app/SettingsBinding.h"
#include "graph/GraphSurface.h"
#include "graph/PageTextView.h"
#include "graph/SeriesSelection.h"
#include "settings/PasswordScrambler.h"
#include "settings/SettingsFile.h"
#include "stats/CsvLog.h"
#include "stats/StatsLine.h"
#include "stats/StatusTexts.h"
#include "tray/TrayIcon.h"

#include <QCloseEvent>
#include <QDir>
#include <QFileInfo>
#include <QMenu>

namespace {

QString text(const char* fixedText)
{
    return QString::fromLatin1(fixedText);
}

void setTextColour(QWidget* widget, const QColor& colour)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    widget->setPalette(palette);
}

} // namespace

MainController::MainController(MainWindow& window, const Platform& platform, QObject* parent)
    : QObject(parent)
    , m_window(window)
    , m_platform(platform)
    , m_statusLine(*window.ui().lblStatus)
    , m_pageTextBox(*window.ui().txtDebug)
    , m_trayWindow(window)
    , m_tray(
          platform.trayIcon, m_trayWindow, m_images, m_statusLine,
          [&window](QPoint globalPos) { window.mnSysTray()->popup(globalPos); }, [this] { m_updater.dropNoticeGone(); })
    , m_display(window, m_tray)
    , m_parser(m_statusLine, platform.messageBox)
    , m_fetcher(platform.transfer, m_statusLine)
    , m_updater(m_table, m_statusLine, m_display, m_tray, platform.clock)
    , m_renderer(m_graph, *window.ui().picGraph)
    , m_capture({m_fetcher, m_parser, m_updater, m_renderer, m_table, m_statusLine, m_display, platform.clock})
{
    m_tmrMain.setInterval(m_platform.tickIntervalMs);
    connectControls();
    connectGraphControls();
    connectTrayControls();
    m_window.installEventFilter(this);
}

MainController::~MainController() = default;

void MainController::connectControls()
{
    Ui::MainWindow& ui = m_window.ui();
    connect(ui.cmdTimer, &QPushButton::clicked, this, &MainController::cmdTimerClick);
    connect(ui.cmdTest, &QPushButton::clicked, this, &MainController::cmdTestClick);
    connect(ui.cmdTestPage, &QPushButton::clicked, this, &MainController::cmdTestPageClick);
    connect(&m_tmrMain, &QTimer::timeout, this, &MainController::tmrMainTimer);
    connect(&m_capture, &CaptureCycle::finished, this, &MainController::onCaptureFinished);
    connect(&m_capture, &CaptureCycle::routerPageArrived, this, &MainController::copyRouterPage);
    connect(ui.chkHidePassword, &QCheckBox::stateChanged, this, &MainController::chkHidePasswordClick);
    connect(ui.txtPass, &QLineEdit::textEdited, this, &MainController::txtPassEdited);
    connect(ui.lblStatusLabel, &ClickableLabel::clicked, this, &MainController::lblStatusLabelClick);
}

void MainController::connectGraphControls()
{
    for (std::size_t i = 0; i < statCount; ++i) {
        const int index = int(i);
        for (ClickableLabel* label : {m_window.lblStats()[i], m_window.lblMin()[i], m_window.lblMax()[i]})
            connect(label, &ClickableLabel::clicked, this, [this, index] { toggleSeries(index); });
    }
    connect(m_window.ui().picGraph, &GraphSurface::mouseReleased, this, &MainController::picGraphMouseUp);
    connect(m_window.mnMarkers(), &QAction::triggered, this, [this] {
        m_graphOptions.toggleMarkers();
        syncGraphMenu();
    });
    connect(m_window.mnLabels(), &QAction::triggered, this, [this] {
        m_graphOptions.toggleLabels();
        syncGraphMenu();
    });
    connect(m_window.mnGrid(), &QAction::triggered, this, [this] {
        m_graphOptions.toggleGrid();
        syncGraphMenu();
    });
}

void MainController::connectTrayControls()
{
    Ui::MainWindow& ui = m_window.ui();
    TrayIcon& icon = m_platform.trayIcon;
    connect(ui.cmdSysTray, &QPushButton::clicked, this, [this] { m_tray.sendToTray(m_updater.trayTip()); });
    // A greyed box is not a ticked one.
    connect(ui.chkUseBalloons, &QCheckBox::stateChanged, this,
        [this](int state) { m_updater.setDropNotices(Qt::CheckState(state) == Qt::Checked); });
    connect(&icon, &TrayIcon::activated, this, [this] { m_tray.restore(); });
    connect(&icon, &TrayIcon::noticeClicked, this, [this] { m_tray.restore(); });
    connect(&icon, &TrayIcon::menuRequested, this, [this](QPoint globalPos) { m_tray.showMenu(globalPos); });
    connect(&icon, &TrayIcon::noticeGone, this, [this] { m_tray.dropNoticeGone(); });
    connect(&icon, &TrayIcon::hostLost, this, [this] { m_tray.trayLost(); });
    icon.setMenu(m_window.mnSysTray());
    connect(m_window.mnShow(), &QAction::triggered, this, [this] { m_tray.restoreFromMenu(); });
    connect(m_window.mnClose(), &QAction::triggered, &m_window, &QWidget::close);
}

void MainController::formLoad()
{
    m_tray.setWindowIcon(StatusImages::smallNormal);
    m_window.setWindowTitle(AppInfo::windowCaption());
    m_settingsPath = QDir(m_platform.applicationFolder).filePath(QStringLiteral("settings.ini"));
    const bool settingsRead = !QFileInfo::exists(m_settingsPath) || loadSettingsFile();
    m_updater.setThresholds(m_settings.snrThreshold, m_settings.attThreshold);
    const GraphSurface& surface = *m_window.ui().picGraph;
    m_graph.computeScale(surface.width(), surface.height());
    m_graph.graphSeries.initHistory(statCount, m_table.seriesColours, m_graph.xStep, m_graph.yScale);
    m_statusLine.showStatus(text(StatusTexts::ready));
    // Said once, at start: otherwise every close would lose the settings without a word.
    if (!QFileInfo(m_platform.applicationFolder).isWritable())
        m_statusLine.showStatus(text(StatusTexts::folderNotWritable));
    // The close leaves an unreadable file alone, so the user must hear now that changes will not be kept.
    if (!settingsRead)
        m_statusLine.showStatus(text(StatusTexts::settingsUnreadable));
}

bool MainController::loadSettingsFile()
{
    Settings settings = SettingsBinding::fromWindow(m_window, m_graph, m_graphOptions, m_settings);
    const bool read = loadSettings(m_settingsPath, settings, m_statusLine);
    SettingsBinding::toWindow(settings, m_window, m_graph, m_graphOptions);
    m_settings = settings;
    syncGraphMenu();
    return read;
}

void MainController::formQueryUnload()
{
    if (m_closed)
        return;
    m_closed = true;
    m_capture.cancel();
    m_tmrMain.stop();
    m_statusLine.showStatus(text(StatusTexts::savingSettings));
    m_tray.removeIcon();
    saveSettings(
        m_settingsPath, SettingsBinding::fromWindow(m_window, m_graph, m_graphOptions, m_settings), m_statusLine);
    emit closed();
}

bool MainController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &m_window && event->type() == QEvent::Close)
        formQueryUnload();
    return QObject::eventFilter(watched, event);
}

void MainController::cmdTimerClick()
{
    if (isMonitoring())
        stopMonitoring();
    else
        startMonitoring();
}

void MainController::startMonitoring()
{
    Ui::MainWindow& ui = m_window.ui();
    if (ui.txtFilename->text().isEmpty())
        return;
    const std::optional<float> interval = MonitorSchedule::intervalFrom(ui.txtInt->text());
    if (!interval) {
        m_statusLine.showStatus(text(StatusTexts::intervalInvalid));
        return;
    }
    // A test capture still waiting for the router gives way: monitoring's first capture runs now.
    m_capture.cancel();
    setMonitorControlsEnabled(false);
    m_schedule.start(*interval, MonitorSchedule::tickMinutesFor(MonitorSchedule::designedTickMs));
    ui.cmdTimer->setText(QStringLiteral("&Stop Monitoring"));
    m_csvPath = CsvLog::outputPathFor(m_platform.applicationFolder, ui.txtFilename->text());
    if (ui.chkSave->checkState() == Qt::Checked && !QFileInfo::exists(m_csvPath))
        CsvLog::appendLineToFile(m_csvPath, StatsLine::csvHeader(m_settings.separateDateTime));
    m_capture.runCapture(CaptureMode::Timed, captureInputs());
    showCountdown();
    ui.lblCount->show();
    m_tmrMain.start();
}

void MainController::stopMonitoring()
{
    Ui::MainWindow& ui = m_window.ui();
    m_tmrMain.stop();
    // Stopping also gives up a capture that still waits for the router.
    m_capture.cancel();
    setMonitorControlsEnabled(true);
    ui.cmdTimer->setText(QStringLiteral("&Start Monitoring"));
    m_tray.setWindowIcon(StatusImages::smallNormal);
    m_updater.monitoringStopped();
    ui.lblCount->hide();
    m_statusLine.showStatus(text(StatusTexts::stopped));
    m_schedule.stop();
}

void MainController::setMonitorControlsEnabled(bool enabled)
{
    Ui::MainWindow& ui = m_window.ui();
    ui.cmdTest->setEnabled(enabled);
    ui.fraOptions->setEnabled(enabled);
    ui.fraMonitor->setEnabled(enabled);
}

void MainController::tmrMainTimer()
{
    // The count waits while a capture runs, as if the capture held the timer up.
    if (m_capture.isRunning())
        return;
    if (m_schedule.tick())
        m_capture.runCapture(CaptureMode::Timed, captureInputs());
    else
        showCountdown();
}

void MainController::onCaptureFinished(CaptureMode mode, bool ok)
{
    if (mode == CaptureMode::Timed && isMonitoring()) {
        m_schedule.restartCount();
        showCountdown();
    }
    emit captureFinished(mode, ok);
}

void MainController::showCountdown()
{
    m_window.ui().lblCount->setText(
        QStringLiteral("Next capture: ") + MonitorSchedule::countdownText(m_schedule.minutesLeft()));
}

void MainController::cmdTestClick()
{
    m_capture.runCapture(CaptureMode::TestSettings, captureInputs());
}

void MainController::cmdTestPageClick()
{
    m_capture.runCapture(CaptureMode::TestPage, captureInputs());
}

CaptureInputs MainController::captureInputs() const
{
    const Ui::MainWindow& ui = m_window.ui();
    CaptureInputs inputs;
    inputs.router
        = {ui.txtIP->text(), ui.txtPort->text(), ui.txtUser->text(), ui.txtPass->text(), m_settings.statsPage};
    inputs.testPage = m_pageTextBox.pageText();
    inputs.saveToFile = ui.chkSave->checkState() == Qt::Checked;
    inputs.csvPath = m_csvPath;
    inputs.separateDateTime = m_settings.separateDateTime;
    inputs.autoRange = m_graphOptions.autoRange();
    inputs.drawOptions = m_graphOptions.drawOptions();
    return inputs;
}

void MainController::toggleSeries(int index)
{
    const auto result = SeriesSelection::toggleSeries(m_graph, index, isMonitoring());
    if (!result)
        return;
    const auto i = std::size_t(index);
    for (ClickableLabel* label : {m_window.lblStats()[i], m_window.lblMin()[i], m_window.lblMax()[i]})
        setTextColour(label, result->labelColour);
    if (result->redraw)
        m_renderer.drawGraph(m_table.currentValues, true, m_graphOptions.drawOptions());
}

void MainController::lblStatusLabelClick()
{
    GraphSurface* surface = m_window.ui().picGraph;
    m_pageTextShown = !m_pageTextShown;
    const int width = PageTextView::togglePageText(m_pageTextShown, m_graph, m_table.seriesColours);
    surface->resize(width, surface->height());
}

void MainController::copyRouterPage(const QString& page)
{
    if (m_pageTextShown)
        m_pageTextBox.showFetchedPage(page);
}

void MainController::syncGraphMenu()
{
    m_window.mnMarkers()->setChecked(m_graphOptions.markers());
    m_window.mnLabels()->setChecked(m_graphOptions.labels());
    m_window.mnGrid()->setChecked(m_graphOptions.grid());
    m_window.mnAutoRange()->setChecked(m_graphOptions.autoRange());
}

void MainController::chkHidePasswordClick()
{
    Ui::MainWindow& ui = m_window.ui();
    ui.txtPass->setEchoMode(
        ui.chkHidePassword->checkState() == Qt::Unchecked ? QLineEdit::Normal : QLineEdit::Password);
}

void MainController::txtPassEdited()
{
    if (!canStorePassword(m_window.ui().txtPass->text()))
        m_statusLine.showStatus(text(StatusTexts::passwordNotStorable));
}

void MainController::picGraphMouseUp(Qt::MouseButton button, QPoint globalPos)
{
    if (button == Qt::RightButton)
        m_window.mnGraph()->popup(globalPos);
}
