#include "app/SettingsBinding.h"

#include "ui_MainWindow.h"

#include "app/MainWindow.h"
#include "graph/GraphOptions.h"
#include "graph/GraphState.h"
#include "platform/PrivateProfile.h"

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
    settings.routerIp = ui.addressEdit->text();
    settings.userName = ui.userEdit->text();
    settings.portText = ui.portEdit->text();
    settings.minutesText = ui.intervalEdit->text();
    settings.outputFilename = ui.outputFileEdit->text();
    settings.password = ui.passwordEdit->text();
    settings.useBalloons = ui.balloonsCheck->checkState() == Qt::Checked;
    settings.markers = options.markers();
    settings.labels = options.labels();
    settings.grid = options.grid();
    settings.saveToFile = checkBoxState(ui.saveCheck->checkState());
    settings.graphMax = graph.graphMax;
    settings.autoRange = options.autoRange();
    return settings;
}

void limitTextBoxes(MainWindow& window)
{
    Ui::MainWindow& ui = window.ui();
    for (QLineEdit* box :
        {ui.addressEdit, ui.userEdit, ui.portEdit, ui.intervalEdit, ui.outputFileEdit, ui.passwordEdit})
        box->setMaxLength(PrivateProfile::maxValueLength);
}

void toWindow(const Settings& settings, MainWindow& window, GraphState& graph, GraphOptions& options)
{
    Ui::MainWindow& ui = window.ui();
    ui.addressEdit->setText(settings.routerIp);
    ui.userEdit->setText(settings.userName);
    ui.portEdit->setText(settings.portText);
    ui.intervalEdit->setText(settings.minutesText);
    ui.outputFileEdit->setText(settings.outputFilename);
    ui.passwordEdit->setText(settings.password);
    // Ticking the box runs its own handler, which hands the switch on to the statistics update.
    ui.balloonsCheck->setChecked(settings.useBalloons);
    options.loadSettings(settings.markers, settings.grid, settings.autoRange);
    ui.saveCheck->setCheckState(checkStateOf(settings.saveToFile));
    graph.graphMax = settings.graphMax;
}

} // namespace SettingsBinding
