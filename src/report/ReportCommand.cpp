#include "report/ReportCommand.h"

#include "report/LogReader.h"
#include "report/ReportBuilder.h"
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

#include <memory>

namespace ReportCommand {

namespace {

// Loading the settings reports its steps to a status line; the report has none to show.
class SilentStatusLine : public StatusLine
{
public:
    void showStatus(const QString& /*text*/) override { }
    void setStatusColour(Colour /*colour*/) override { }
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

// Why the log cannot be opened, in words for the one error line.
QString openProblem(const QString& path, QFile& file)
{
    const QFileInfo info(path);
    if (!info.exists())
        return QStringLiteral("there is no such file");
    if (info.isDir())
        return QStringLiteral("it is a folder, not a file");
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return file.errorString();
    return {};
}

QString periodText(const ReportOptions& options)
{
    if (!options.firstDay && !options.lastDay)
        return {};
    const QString from = options.firstDay ? WallClock::isoDate(*options.firstDay) : QStringLiteral("the start");
    const QString to = options.lastDay ? WallClock::isoDate(*options.lastDay) : QStringLiteral("the end");
    return QStringLiteral(" from %1 to %2").arg(from, to);
}

bool writeFile(const QString& path, const QByteArray& content, QTextStream& errors)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(content) == content.size() && file.commit())
        return true;
    errors << "linegauge: cannot write the report " << path << ": " << file.errorString() << '\n';
    return false;
}

void openPage(const QString& path, QTextStream& errors)
{
    const bool desktop = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
    if (!desktop || !QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath())))
        errors << "linegauge: the report was written to " << path << " but no browser could be started for it\n";
}

} // namespace

int main(int argc, char* argv[])
{
    // Opening the page needs the desktop; without a display a plain application writes the page and
    // says it could not open it, where a desktop application could not even start.
    const bool display = !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")
        || !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    std::unique_ptr<QCoreApplication> application;
    if (display && opensPage(argc, argv))
        application = std::make_unique<QGuiApplication>(argc, argv);
    else
        application = std::make_unique<QCoreApplication>(argc, argv);
    QTextStream errors(stderr);
    return run(QCoreApplication::arguments().mid(1), QCoreApplication::applicationDirPath(), errors);
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

    QFile log(csvPath);
    problem = openProblem(csvPath, log);
    if (!problem.isEmpty()) {
        errors << "linegauge: cannot read the log " << csvPath << ": " << problem << '\n';
        return logUnusable;
    }
    ReportBuilder builder(settings.snrThreshold, settings.attThreshold, {options->firstDay, options->lastDay});
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

    const QString pagePath = options->outPath.isEmpty() ? defaultPagePath(csvPath) : options->outPath;
    if (!writeFile(pagePath, ReportPage::render(figures, QFileInfo(csvPath).fileName()), errors))
        return logUnusable;
    if (!options->jsonPath.isEmpty() && !writeFile(options->jsonPath, ReportJson::render(figures), errors))
        return logUnusable;
    if (options->open)
        openPage(pagePath, errors);
    return written;
}

} // namespace ReportCommand
