#pragma once

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

class QCoreApplication;

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

// Tells the user on screen why no report came or why its page did not open.
using ProblemNotice = std::function<void(const QString& problem)>;

// What the desktop gives a report that is to open its page: an application object that can show a
// message, and the message itself. Left empty, the report opens its page without them.
struct Desktop
{
    std::function<std::unique_ptr<QCoreApplication>(int& argc, char* argv[])> makeApplication;
    ProblemNotice tellProblem;
};

// Builds the application object the report needs and runs it.
int main(int argc, char* argv[], const Desktop& desktop = {});

// Runs as run() does; the problems written to errors also go to tellProblem, when there is one.
int runAndTell(
    const QStringList& arguments, const QString& programFolder, QTextStream& errors, const ProblemNotice& tellProblem);

// Runs the report for the arguments after the program name; the settings file and a relative log
// name are taken in programFolder. Problems go to errors as one line each.
int run(const QStringList& arguments, const QString& programFolder, QTextStream& errors);

} // namespace ReportCommand
