#include "stats/CsvLog.h"

#include "platform/AnsiCodec.h"

#include <QDir>
#include <QFile>

namespace CsvLog {

bool appendLine(QIODevice& device, const QString& text)
{
    const QByteArray line = AnsiCodec::encode(text) + "\r\n";
    return device.write(line) == line.size();
}

bool appendLineToFile(const QString& path, const QString& text)
{
    if (path.isEmpty())
        return false;
    QFile file(path);
    // Unbuffered, so a failed write is known at once and nothing is left in a buffer to flush later.
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return false;
    const qint64 sizeBefore = file.size();
    if (appendLine(file, text))
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
