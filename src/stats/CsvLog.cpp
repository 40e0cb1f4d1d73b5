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

namespace {

const QString cutMark = QStringLiteral("...");

bool startsLikeFormula(const QString& text)
{
    for (const QChar c : text) {
        if (c != u' ')
            return c == u'=' || c == u'+' || c == u'-' || c == u'@';
    }
    return false;
}

} // namespace

QString valueField(const QString& valueText, bool numberOrNa)
{
    QString field;
    // One character past the bound tells that the text is cut; the rest is never looked at.
    for (qsizetype at = 0; at < valueText.size() && field.size() <= maxValueLength; ++at) {
        if (valueText[at].category() != QChar::Other_Control)
            field.append(valueText[at]);
    }
    const bool cut = field.size() > maxValueLength;
    if (cut)
        field = field.first(maxValueLength - cutMark.size()) + cutMark;
    // A cut number is no longer the router's number; like any text it must not start a formula.
    if ((!numberOrNa || cut) && startsLikeFormula(field))
        field.prepend(u'\'');
    if (field.contains(u',') || field.contains(u'"'))
        field = u'"' + field.replace(u'"', QStringLiteral("\"\"")) + u'"';
    return field;
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
