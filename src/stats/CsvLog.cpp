#include "stats/CsvLog.h"

#include "platform/AnsiCodec.h"
#include "platform/SafeFile.h"

#include <QDir>
#include <QFile>

namespace CsvLog {

bool appendLine(QIODevice& device, const QString& text)
{
    const QByteArray line = AnsiCodec::encode(text) + "\r\n";
    return device.write(line) == line.size();
}

namespace {

// A file left without its last line break (cut off by a crash or by another program) would have
// the next line glued onto its unfinished one.
bool endsMidLine(QFile& file)
{
    if (file.isSequential() || file.size() == 0 || !file.seek(file.size() - 1))
        return false;
    char last = 0;
    return file.getChar(&last) && last != '\n';
}

} // namespace

bool appendLineToFile(const QString& path, const QString& text)
{
    if (path.isEmpty())
        return false;
    QFile file;
    // Unbuffered, so a failed write is known at once and nothing is left in a buffer to flush later.
    // A FIFO or socket is refused: its reader could stall the window's thread for ever.
    if (!SafeFile::openForAppend(file, path))
        return false;
    const qint64 sizeBefore = file.size();
    const bool lineBreakNeeded = endsMidLine(file);
    if ((!lineBreakNeeded || file.write("\r\n", 2) == 2) && appendLine(file, text))
        return true;
    if (!file.isSequential())
        file.resize(sizeBefore);
    return false;
}

QString outputPathFor(const QString& folder, const QString& fileName)
{
    if (QDir::isAbsolutePath(fileName))
        return fileName;
    if (fileName.isEmpty())
        return folder;
    return QDir(folder).filePath(fileName);
}

} // namespace CsvLog
