#pragma once

#include "settings/Settings.h"

class GraphOptions;
class GraphState;
class MainWindow;
struct AppState;

// Moves the options between the settings values and the places the window keeps them: its
// controls, the application state, the graph's range and the graph menu's check marks.
namespace SettingsBinding {

Settings fromWindow(
    const MainWindow& window, const AppState& state, const GraphState& graph, const GraphOptions& options);

void toWindow(const Settings& settings, MainWindow& window, AppState& state, GraphState& graph, GraphOptions& options);

} // namespace SettingsBinding
