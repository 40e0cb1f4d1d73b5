#pragma once

#include <QString>

// The options of the program, with the start values of a window without a settings file. The
// window's form shows the same ones in its controls; the values no control shows (thresholds, CSV
// layout, page path) and the report's defaults are read from here and stated nowhere else.
struct Settings
{
    QString routerIp = QStringLiteral("10.0.0.2");
    QString userName = QStringLiteral("admin");
    QString portText = QStringLiteral("80");
    QString minutesText = QStringLiteral("1"); // the capture interval as typed
    QString outputFilename = QStringLiteral("stats.csv"); // the CSV file's name as typed
    QString password; // in clear
    bool useBalloons = false; // a drop seen from the tray raises a balloon
    bool markers = false; // graph menu check marks
    bool labels = false;
    bool grid = false;
    int saveToFile = 1; // the "Save stats to file" box: 0 unchecked, 1 checked, 2 greyed
    float graphMax = 50.0f;
    float snrThreshold = 6.0f;
    float attThreshold = 50.0f;
    bool separateDateTime = true;
    QString statsPage = QStringLiteral("/doc/adsl.htm");
    bool autoRange = false; // graph menu check mark
};
