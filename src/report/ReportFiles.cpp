#include "report/ReportFiles.h"

#include "platform/SafeFile.h"

#include <QFile>

using SafeFile::FileKind;
using SafeFile::FileLook;

namespace ReportFiles {

namespace {

// What a path that is no regular file names, or why it could not be looked at.
QString whatItIs(const FileLook& look)
{
    switch (look.kind) {
    case FileKind::folder:
        return QStringLiteral("it is a folder");
    case FileKind::fifo:
        return QStringLiteral("it is a FIFO (named pipe)");
    case FileKind::device:
        return QStringLiteral("it is a device");
    case FileKind::socket:
        return QStringLiteral("it is a socket");
    case FileKind::missing:
        return QStringLiteral("there is no such file");
    case FileKind::linkLoop:
        return QStringLiteral("its symbolic links form a loop");
    case FileKind::regular:
    case FileKind::unreachable:
        break;
    }
    return qt_error_string(look.error);
}

bool isSomethingElse(FileKind kind)
{
    return kind == FileKind::folder || kind == FileKind::fifo || kind == FileKind::device || kind == FileKind::socket;
}

} // namespace

QString openLog(QFile& log, const QString& path, FileLook& opened)
{
    if (SafeFile::openForReading(log, path, opened))
        return {};
    if (opened.kind == FileKind::regular)
        return log.errorString();
    return whatItIs(opened) + (isSomethingElse(opened.kind) ? QStringLiteral(", not a file") : QString());
}

QString outputProblem(const QString& what, const QString& path, const FileLook& log)
{
    const FileLook target = SafeFile::look(path);
    QString problem;
    if (target.isSameFile(log))
        problem = QStringLiteral("it is the log the report reads");
    else if (isSomethingElse(target.kind))
        problem = whatItIs(target) + QStringLiteral(", not a regular file");
    else if (target.kind == FileKind::linkLoop)
        problem = whatItIs(target);
    if (problem.isEmpty())
        return {};
    return QStringLiteral("will not write %1 to %2: %3").arg(what, path, problem);
}

} // namespace ReportFiles
