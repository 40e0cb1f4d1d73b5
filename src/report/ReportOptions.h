#pragma once

#include <QString>
#include <QStringList>
#include <QTimeZone>

#include <optional>

// What the report command line asks for. Paths left empty take their defaults from the settings
// file and the log's own name.
struct ReportOptions
{
    QString csvPath;
    QString outPath;
    QString jsonPath;
    std::optional<qint64> firstDay; // WallClock day numbers, both included
    std::optional<qint64> lastDay;
    bool open = false;
    QTimeZone timeZone = QTimeZone::systemTimeZone(); // whose rules the log's times are read by

    // Reads the arguments after the program name ("--report" among them); on a bad argument returns
    // nothing and says why in the error text.
    static std::optional<ReportOptions> parse(const QStringList& arguments, QString& error);

    static QString usage();
};
