#pragma once

#include <QStringList>

// What the program's command line asks for, before any application object exists.
namespace CommandLine {

enum class Request
{
    window,
    version,
    help,
    report,
};

// The arguments as the program received them, its own name first.
QStringList argumentsOf(int argc, char* argv[]);

// Whichever of --version and --help comes first; otherwise the report when --report stands
// anywhere; otherwise the window. Every other argument is left to the request it belongs to (the
// report's options, the toolkit's own such as -platform), so none of them is an error here.
Request requestOf(const QStringList& arguments);

// What --version or --help prints: the version line, or the usage of the window and the report.
QString answerTo(Request request);

} // namespace CommandLine
