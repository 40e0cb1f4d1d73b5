#include "app/SettingsBinding.h"

#include "ui_MainWindow.h"

#include "app/MainWindow.h"
#include "graph/GraphOptions.h"
#include "graph/GraphState.h"

namespace {

int checkBoxState(Qt::CheckState state)
{
    switch (state) {
    case Qt::Unchecked:
        return 0;
    case Qt::Checked:
        return 1;
    case Qt::PartiallyChecked:
        return 2;
    }
    return 0;
}

Qt::CheckState checkStateOf(int value)
{
    switch (value) {
    case 0:
        return Qt::Unchecked;
    case 2:
        return Qt::PartiallyChecked;
    default:
        return Qt::Checked;
    }
}

} // namespace

namespace SettingsBinding {

Settings fromWindow(const MainWindow& window, const GraphState& graph, const GraphOptions& options, Settings settings)
{
    const Ui::MainWindow& ui = window.ui();
    settings.routerIp = ui.txtIP->text();
    settings.userName = ui.txtUser->text();
    settings.portText = ui.txtPort->text();
    settings.minutesText = ui.txtInt->text();
    settings.outputFilename = ui.txtFilename->text();
    settings.password = ui.txtPass->text();
    settings.useBalloons = ui.chkUseBalloons->checkState() == Qt::Checked;
    settings.markers = options.markers();
    settings.labels = options.labels();
    settings.grid = options.grid();
    settings.saveToFile = checkBoxState(ui.chkSave->checkState());
    settings.graphMax = graph.graphMax;
    settings.autoRange = options.autoRange();
    return settings;
}

void toWindow(const Settings& settings, MainWindow& window, GraphState& graph, GraphOptions& options)
{
    Ui::MainWindow& ui = window.ui();
    ui.txtIP->setText(settings.routerIp);
    ui.txtUser->setText(settings.userName);
    ui.txtPort->setText(settings.portText);
    ui.txtInt->setText(settings.minutesText);
    ui.txtFilename->setText(settings.outputFilename);
    ui.txtPass->setText(settings.password);
    // Ticking the box runs its own handler, which hands the switch on to the statistics update.
    ui.chkUseBalloons->setChecked(settings.useBalloons);
    options.loadSettings(settings.markers, settings.grid, settings.autoRange);
    ui.chkSave->setCheckState(checkStateOf(settings.saveToFile));
    graph.graphMax = settings.graphMax;
}

} // namespace SettingsBinding
