#pragma once

#include "settings/Settings.h"

class GraphOptions;
class GraphState;
class MainWindow;

// Moves the options between the settings values and the places the window keeps them: its
// controls, the graph's range and the graph menu's check marks.
namespace SettingsBinding {

// The given settings with every value the window keeps replaced by the window's own.
Settings fromWindow(const MainWindow& window, const GraphState& graph, const GraphOptions& options, Settings settings);

// A saved text longer than settings.ini reads back would come back cut at the next start, so the
// boxes whose texts are saved take no more than that.
void limitTextBoxes(MainWindow& window);

void toWindow(const Settings& settings, MainWindow& window, GraphState& graph, GraphOptions& options);

} // namespace SettingsBinding
