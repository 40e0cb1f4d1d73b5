#include "report/ReportCommand.h"

#include "platform/SafeFile.h"
#include "report/LogReader.h"
#include "report/ReportBuilder.h"
#include "report/ReportFiles.h"
#include "report/ReportJson.h"
#include "report/ReportOptions.h"
#include "report/ReportPage.h"
#include "report/WallClock.h"
#include "settings/Settings.h"
#include "settings/SettingsFile.h"
#include "stats/CsvLog.h"
#include "stats/StatusLine.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSaveFile>
#include <QTextStream>
#include <QUrl>

#include <functional>
#include <memory>

namespace ReportCommand {

namespace {

// Loading the settings reports its steps to a status line; the report has none to show.
class SilentStatusLine : public StatusLine
{
public:
    void showStatus(const QString& /*text*/) override { }
    void setStatusColour(const QColor& /*colour*/) override { }
};

// The page is to be opened: asked for among arguments that are all good.
bool opensPage(int argc, char* argv[])
{
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    QString problem;
    const std::optional<ReportOptions> options = ReportOptions::parse(arguments, problem);
    return options && options->open;
}

Settings settingsIn(const QString& programFolder)
{
    Settings settings;
    SilentStatusLine status;
    const QString path = QDir(programFolder).filePath(QStringLiteral("settings.ini"));
    if (QFileInfo::exists(path))
        loadSettings(path, settings, status);
    return settings;
}

QString defaultPagePath(const QString& csvPath)
{
    const QFileInfo log(csvPath);
    return log.dir().filePath(log.completeBaseName() + QStringLiteral("-report.html"));
}

QString periodText(const ReportOptions& options)
{
    if (!options.firstDay && !options.lastDay)
        return {};
    const QString from = options.firstDay ? WallClock::isoDate(*options.firstDay) : QStringLiteral("the start");
    const QString to = options.lastDay ? WallClock::isoDate(*options.lastDay) : QStringLiteral("the end");
    return QStringLiteral(" from %1 to %2").arg(from, to);
}

bool writeFile(const QString& path, const std::function<bool(QIODevice&)>& content, QTextStream& errors)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && content(file) && file.commit())
        return true;
    errors << "linegauge: cannot write the report " << path << ": " << file.errorString() << '\n';
    return false;
}

// The page and the JSON never replace the log or anything but a regular file; one line says why.
bool outputsAllowed(
    const QString& pagePath, const QString& jsonPath, const SafeFile::FileLook& log, QTextStream& errors)
{
    QString problem = ReportFiles::outputProblem(QStringLiteral("the page"), pagePath, log);
    if (problem.isEmpty() && !jsonPath.isEmpty())
        problem = ReportFiles::outputProblem(QStringLiteral("the JSON figures"), jsonPath, log);
    if (problem.isEmpty())
        return true;
    errors << "linegauge: " << problem << '\n';
    return false;
}

void openPage(const QString& path, QTextStream& errors)
{
    const bool desktop = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
    if (!desktop || !QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath())))
        errors << "linegauge: the report was written to " << path << " but no browser could be started for it\n";
}

} // namespace

int main(int argc, char* argv[], const Desktop& desktop)
{
    // Opening the page needs the desktop; without a display a plain application writes the page and
    // says it could not open it, where a desktop application could not even start.
    const bool display = !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    const bool onDesktop = display && opensPage(argc, argv);
    std::unique_ptr<QCoreApplication> application;
    if (onDesktop && desktop.makeApplication)
        application = desktop.makeApplication(argc, argv);
    else if (onDesktop)
        application = std::make_unique<QGuiApplication>(argc, argv);
    else
        application = std::make_unique<QCoreApplication>(argc, argv);
    QTextStream errors(stderr);
    // Started from the desktop's menu, nobody reads the error output: the problem is said on screen too.
    return runAndTell(QCoreApplication::arguments().mid(1), QCoreApplication::applicationDirPath(), errors,
        onDesktop ? desktop.tellProblem : ProblemNotice());
}

int runAndTell(
    const QStringList& arguments, const QString& programFolder, QTextStream& errors, const ProblemNotice& tellProblem)
{
    QString problems;
    QTextStream captured(&problems);
    const int status = run(arguments, programFolder, captured);
    captured.flush();
    errors << problems;
    errors.flush();
    if (tellProblem && !problems.isEmpty())
        tellProblem(problems.trimmed());
    return status;
}

int run(const QStringList& arguments, const QString& programFolder, QTextStream& errors)
{
    QString problem;
    const std::optional<ReportOptions> options = ReportOptions::parse(arguments, problem);
    if (!options) {
        errors << "linegauge: " << problem << '\n' << ReportOptions::usage();
        return badArguments;
    }
    const Settings settings = settingsIn(programFolder);
    const QString csvPath
        = options->csvPath.isEmpty() ? CsvLog::outputPathFor(programFolder, settings.outputFilename) : options->csvPath;

    QFile log;
    SafeFile::FileLook logLook;
    problem = ReportFiles::openLog(log, csvPath, logLook);
    if (!problem.isEmpty()) {
        errors << "linegauge: cannot read the log " << csvPath << ": " << problem << '\n';
        return logUnusable;
    }
    const QString pagePath = options->outPath.isEmpty() ? defaultPagePath(csvPath) : options->outPath;
    if (!outputsAllowed(pagePath, options->jsonPath, logLook, errors))
        return badArguments;
    // Gaps past those held in memory wait beside the page, where the report is written anyway.
    ReportBuilder builder(settings.snrThreshold, settings.attThreshold, {options->firstDay, options->lastDay},
        QFileInfo(pagePath).absolutePath(), options->timeZone);
    if (!LogReader::read(log, builder)) {
        errors << "linegauge: cannot read the log " << csvPath << ": " << log.errorString() << '\n';
        return logUnusable;
    }
    const ReportFigures figures = builder.finish();
    if (figures.captures == 0) {
        errors << "linegauge: the log " << csvPath << " holds no captures" << periodText(*options) << " ("
               << figures.skippedLines << " lines skipped)\n";
        return logUnusable;
    }

    if (!figures.gaps.problem().isEmpty()) {
        errors << "linegauge: cannot write the report " << pagePath
               << ": cannot keep the log's gaps beside it: " << figures.gaps.problem() << '\n';
        return logUnusable;
    }
    const QByteArray page = ReportPage::render(figures, QFileInfo(csvPath).fileName());
    if (!writeFile(
            pagePath, [&page](QIODevice& file) { return file.write(page) == page.size(); }, errors))
        return logUnusable;
    if (!options->jsonPath.isEmpty()
        && !writeFile(
            options->jsonPath, [&figures](QIODevice& file) { return ReportJson::write(figures, file); }, errors))
        return logUnusable;
    if (options->open)
        openPage(pagePath, errors);
    return written;
}

} // namespace ReportCommand
