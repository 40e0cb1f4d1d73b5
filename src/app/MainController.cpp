#include "app/MainController.h"

#include "ui_MainWindow.h"

#include "app/AccessibleNames.h"
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
    , m_statusLine(*window.ui().statusLabel)
    , m_pageTextBox(*window.ui().pageTextEdit)
    , m_trayWindow(window)
    , m_tray(
          platform.trayIcon, m_trayWindow, m_images, m_statusLine,
          [&window](QPoint globalPos) { window.trayMenu()->popup(globalPos); }, [this] { m_updater.dropNoticeGone(); })
    , m_display(window, m_tray)
    , m_parser(m_statusLine, platform.messageBox)
    , m_fetcher(platform.transfer, m_statusLine)
    , m_updater(m_table, m_statusLine, m_display, m_tray, platform.clock)
    , m_renderer(m_graph, *window.ui().graphSurface)
    , m_capture({m_fetcher, m_parser, m_updater, m_renderer, m_table, m_statusLine, m_display, platform.clock})
    , m_ticker(m_schedule, platform.tickIntervalMs)
{
    SettingsBinding::limitTextBoxes(m_window);
    connectControls();
    connectGraphControls();
    connectTrayControls();
    m_window.installEventFilter(this);
}

MainController::~MainController() = default;

void MainController::connectControls()
{
    Ui::MainWindow& ui = m_window.ui();
    connect(ui.monitorButton, &QPushButton::clicked, this, &MainController::toggleMonitoring);
    connect(ui.testSettingsButton, &QPushButton::clicked, this, &MainController::testSettings);
    connect(ui.testPageButton, &QPushButton::clicked, this, &MainController::testPage);
    connect(&m_ticker, &MonitorTicker::ticked, this, &MainController::onTicks);
    connect(&m_capture, &CaptureCycle::finished, this, &MainController::onCaptureFinished);
    connect(&m_capture, &CaptureCycle::routerPageArrived, this, &MainController::copyRouterPage);
    connect(ui.hidePasswordCheck, &QCheckBox::stateChanged, this, &MainController::applyPasswordMask);
    connect(ui.passwordEdit, &QLineEdit::textEdited, this, &MainController::onPasswordEdited);
    connect(ui.statusCaption, &ClickableLabel::clicked, this, &MainController::togglePageTextView);
}

void MainController::connectGraphControls()
{
    for (std::size_t i = 0; i < statCount; ++i) {
        const int index = int(i);
        for (ClickableLabel* label :
            {m_window.currentValues()[i], m_window.minimumValues()[i], m_window.maximumValues()[i]})
            connect(label, &ClickableLabel::clicked, this, [this, index] { toggleSeries(index); });
    }
    connect(m_window.ui().graphSurface, &GraphSurface::mouseReleased, this, &MainController::onGraphMouseReleased);
    connect(m_window.markersAction(), &QAction::triggered, this, [this] {
        m_graphOptions.toggleMarkers();
        syncGraphMenu();
    });
    connect(m_window.labelsAction(), &QAction::triggered, this, [this] {
        m_graphOptions.toggleLabels();
        syncGraphMenu();
    });
    connect(m_window.gridAction(), &QAction::triggered, this, [this] {
        m_graphOptions.toggleGrid();
        syncGraphMenu();
    });
}

void MainController::connectTrayControls()
{
    Ui::MainWindow& ui = m_window.ui();
    TrayIcon& icon = m_platform.trayIcon;
    connect(ui.trayButton, &QPushButton::clicked, this, [this] { m_tray.sendToTray(m_updater.trayTip()); });
    // A greyed box is not a ticked one.
    connect(ui.balloonsCheck, &QCheckBox::stateChanged, this,
        [this](int state) { m_updater.setDropNotices(Qt::CheckState(state) == Qt::Checked); });
    connect(&icon, &TrayIcon::activated, this, [this] { m_tray.restore(); });
    connect(&icon, &TrayIcon::noticeClicked, this, [this] { m_tray.restore(); });
    connect(&icon, &TrayIcon::menuRequested, this, [this](QPoint globalPos) { m_tray.showMenu(globalPos); });
    connect(&icon, &TrayIcon::noticeGone, this, [this] { m_tray.dropNoticeGone(); });
    connect(&icon, &TrayIcon::hostLost, this, [this] { m_tray.trayLost(); });
    icon.setMenu(m_window.trayMenu());
    connect(m_window.showAction(), &QAction::triggered, this, [this] { m_tray.restoreFromMenu(); });
    connect(m_window.exitAction(), &QAction::triggered, &m_window, &QWidget::close);
}

void MainController::startUp()
{
    m_tray.setWindowIcon(StatusImages::smallNormal);
    m_window.setWindowTitle(AppInfo::windowCaption());
    m_settingsPath = QDir(m_platform.applicationFolder).filePath(QStringLiteral("settings.ini"));
    const bool settingsRead = !QFileInfo::exists(m_settingsPath) || loadSettingsFile();
    m_updater.setThresholds(m_settings.snrThreshold, m_settings.attThreshold);
    const GraphSurface& surface = *m_window.ui().graphSurface;
    m_graph.computeScale(surface.width(), surface.height());
    m_graph.graphSeries.initHistory(statCount, m_table.seriesColours, m_graph.xStep, m_graph.yScale);
    m_statusLine.showStatus(text(StatusTexts::ready));
    describeGraph();
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

void MainController::shutDown()
{
    if (m_closed)
        return;
    m_closed = true;
    m_capture.cancel();
    m_ticker.stop();
    m_statusLine.showStatus(text(StatusTexts::savingSettings));
    m_tray.removeIcon();
    saveSettings(
        m_settingsPath, SettingsBinding::fromWindow(m_window, m_graph, m_graphOptions, m_settings), m_statusLine);
    emit closed();
}

bool MainController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != &m_window)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::Close:
        shutDown();
        break;
    case QEvent::Show:
    case QEvent::Hide:
    case QEvent::WindowStateChange:
        m_ticker.setShown(windowShown());
        break;
    default:
        break;
    }
    return QObject::eventFilter(watched, event);
}

void MainController::toggleMonitoring()
{
    if (isMonitoring())
        stopMonitoring();
    else
        startMonitoring();
}

void MainController::startMonitoring()
{
    Ui::MainWindow& ui = m_window.ui();
    if (ui.outputFileEdit->text().isEmpty())
        return;
    const std::optional<float> interval = MonitorSchedule::intervalFrom(ui.intervalEdit->text());
    if (!interval) {
        m_statusLine.showStatus(text(StatusTexts::intervalInvalid));
        return;
    }
    // A test capture still waiting for the router gives way: monitoring's first capture runs now.
    m_capture.cancel();
    setMonitorControlsEnabled(false);
    m_schedule.start(*interval, MonitorSchedule::tickMinutesFor(MonitorSchedule::designedTickMs));
    ui.monitorButton->setText(QStringLiteral("&Stop Monitoring"));
    m_csvPath = CsvLog::outputPathFor(m_platform.applicationFolder, ui.outputFileEdit->text());
    if (ui.saveCheck->checkState() == Qt::Checked && !QFileInfo::exists(m_csvPath))
        CsvLog::appendLineToFile(m_csvPath, StatsLine::csvHeader(m_settings.separateDateTime));
    m_capture.runCapture(CaptureMode::Timed, captureInputs());
    showCountdown();
    ui.countdownLabel->show();
    m_ticker.start(windowShown());
}

void MainController::stopMonitoring()
{
    Ui::MainWindow& ui = m_window.ui();
    m_ticker.stop();
    // Stopping also gives up a capture that still waits for the router.
    m_capture.cancel();
    setMonitorControlsEnabled(true);
    ui.monitorButton->setText(QStringLiteral("&Start Monitoring"));
    m_tray.setWindowIcon(StatusImages::smallNormal);
    m_updater.monitoringStopped();
    ui.countdownLabel->hide();
    m_statusLine.showStatus(text(StatusTexts::stopped));
    m_schedule.stop();
}

void MainController::setMonitorControlsEnabled(bool enabled)
{
    Ui::MainWindow& ui = m_window.ui();
    ui.testSettingsButton->setEnabled(enabled);
    ui.routerGroup->setEnabled(enabled);
    ui.monitorGroup->setEnabled(enabled);
}

bool MainController::windowShown() const
{
    return m_window.isVisible() && !m_window.isMinimized();
}

void MainController::onTicks(int count)
{
    // The count waits while a capture runs, as if the capture held the timer up.
    if (m_capture.isRunning())
        return;
    m_schedule.addTicks(count - 1);
    if (m_schedule.tick())
        m_capture.runCapture(CaptureMode::Timed, captureInputs());
    else
        showCountdown();
}

void MainController::onCaptureFinished(CaptureMode mode, bool ok)
{
    if (mode == CaptureMode::Timed && isMonitoring()) {
        m_schedule.restartCount();
        m_ticker.countRestarted();
        showCountdown();
    }
    describeGraph();
    emit captureFinished(mode, ok);
}

// Setting a label's text redraws it and asks its parent to lay out again, so an unchanged
// countdown is not set.
void MainController::showCountdown()
{
    QLabel* label = m_window.ui().countdownLabel;
    const QString countdown
        = QStringLiteral("Next capture: ") + MonitorSchedule::countdownText(m_schedule.minutesLeft());
    if (label->text() != countdown)
        label->setText(countdown);
}

void MainController::testSettings()
{
    m_capture.runCapture(CaptureMode::TestSettings, captureInputs());
}

void MainController::testPage()
{
    m_capture.runCapture(CaptureMode::TestPage, captureInputs());
}

CaptureInputs MainController::captureInputs() const
{
    const Ui::MainWindow& ui = m_window.ui();
    CaptureInputs inputs;
    inputs.router = {ui.addressEdit->text(), ui.portEdit->text(), ui.userEdit->text(), ui.passwordEdit->text(),
        m_settings.statsPage};
    inputs.testPage = m_pageTextBox.pageText();
    inputs.saveToFile = ui.saveCheck->checkState() == Qt::Checked;
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
    for (ClickableLabel* label :
        {m_window.currentValues()[i], m_window.minimumValues()[i], m_window.maximumValues()[i]})
        setTextColour(label, result->labelColour);
    if (result->redraw)
        m_renderer.drawGraph(m_table.currentValues, true, m_graphOptions.drawOptions());
    describeGraph();
}

void MainController::describeGraph()
{
    std::array<QString, statCount> values;
    for (std::size_t i = 0; i < statCount; ++i)
        values.at(i) = m_window.currentValues()[i]->text();
    GraphSurface* surface = m_window.ui().graphSurface;
    surface->setAccessibleDescription(
        AccessibleNames::graphDescription(surface->toolTip(), m_graph.seriesShown, values));
}

void MainController::togglePageTextView()
{
    GraphSurface* surface = m_window.ui().graphSurface;
    m_pageTextShown = !m_pageTextShown;
    const int width = PageTextView::togglePageText(m_pageTextShown, m_graph, m_table.seriesColours);
    surface->resize(width, surface->height());
    m_window.showPageText(m_pageTextShown);
}

void MainController::copyRouterPage(const QString& page)
{
    if (m_pageTextShown)
        m_pageTextBox.showFetchedPage(page);
}

void MainController::syncGraphMenu()
{
    m_window.markersAction()->setChecked(m_graphOptions.markers());
    m_window.labelsAction()->setChecked(m_graphOptions.labels());
    m_window.gridAction()->setChecked(m_graphOptions.grid());
    m_window.autoRangeAction()->setChecked(m_graphOptions.autoRange());
}

void MainController::applyPasswordMask()
{
    Ui::MainWindow& ui = m_window.ui();
    ui.passwordEdit->setEchoMode(
        ui.hidePasswordCheck->checkState() == Qt::Unchecked ? QLineEdit::Normal : QLineEdit::Password);
}

void MainController::onPasswordEdited()
{
    if (!canStorePassword(m_window.ui().passwordEdit->text()))
        m_statusLine.showStatus(text(StatusTexts::passwordNotStorable));
}

void MainController::onGraphMouseReleased(Qt::MouseButton button, QPoint globalPos)
{
    if (button == Qt::RightButton)
        m_window.graphMenu()->popup(globalPos);
}
