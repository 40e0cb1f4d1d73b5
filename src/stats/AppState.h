#pragma once

#include <QString>

// The application state the main window holds for the whole run.
struct AppState
{
    bool pageReceived = false; // the current capture obtained a non-empty page text
    bool lineUp = false; // line state of the last statistics update
    bool wasLineUp = false; // lineUp of the update before it
    bool dropNotified = false; // a drop balloon was shown and not yet acknowledged
    QString trayTip;
    QString settingsPath;
    bool useBalloons = false;
    float snrThreshold = 6.0f;
    float attThreshold = 50.0f;
    bool separateDateTime = true;
    QString statsPage = QStringLiteral("/doc/adsl.htm");
    float capturePeak = 0.0f; // largest current value of the last statistics update
    QString outputPath; // full path of the CSV file, fixed when monitoring starts
    bool debugView = false; // every fetched page is copied into the page-text box
};
