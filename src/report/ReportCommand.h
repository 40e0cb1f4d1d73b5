#pragma once

#include <QString>
#include <QStringList>

class QTextStream;

// "linegauge --report ...": reads the CSV log, writes the report page (and the JSON figures when
// asked) and can open the page, all without a window.
namespace ReportCommand {

enum ExitStatus
{
    written = 0,
    logUnusable = 1, // the log cannot be read, holds no capture, or the report cannot be written
    badArguments = 2 // also an output that names the log, or anything but a regular file
};

// Builds the application object the report needs and runs it.
int main(int argc, char* argv[]);

// Runs the report for the arguments after the program name; the settings file and a relative log
// name are taken in programFolder. Problems go to errors as one line each.
int run(const QStringList& arguments, const QString& programFolder, QTextStream& errors);

} // namespace ReportCommand
