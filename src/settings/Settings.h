#pragma once

#include <QString>

// The options as the window's controls and fields hold them; the start values are those of a
// window without a settings file.
struct Settings
{
    QString routerIp = QStringLiteral("10.0.0.2"); // txtIP
    QString userName = QStringLiteral("admin"); // txtUser
    QString portText = QStringLiteral("80"); // txtPort
    QString minutesText = QStringLiteral("1"); // txtInt
    QString outputFilename = QStringLiteral("stats.csv"); // txtFilename
    QString password; // txtPass, in clear
    bool useBalloons = false; // useBalloons and chkUseBalloons, kept in step
    bool markers = false; // mnMarkers
    bool labels = false; // mnLabels
    bool grid = false; // mnGrid
    int saveToFile = 1; // chkSave: 0 unchecked, 1 checked, 2 greyed
    float graphMax = 50.0f;
    float snrThreshold = 6.0f;
    float attThreshold = 50.0f;
    bool separateDateTime = true;
    QString statsPage = QStringLiteral("/doc/adsl.htm");
    bool autoRange = false; // mnAutoRange
};
