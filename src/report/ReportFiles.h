#pragma once

#include <QString>

class QFile;

namespace SafeFile {
struct FileLook;
}

// The report's files by what they are, not by how their paths are spelt: the log is read only when
// it is a regular file, so it never waits on a FIFO or reads a device without end, and the page and
// the JSON only ever replace a regular file that is not the log, or make a new one.
namespace ReportFiles {

// Opens the log; an empty text when it is open, else why not, in words for the error line. The
// look says which file was opened.
QString openLog(QFile& log, const QString& path, SafeFile::FileLook& opened);

// Why the report must not write what (such as "the page") to path; empty when it may.
QString outputProblem(const QString& what, const QString& path, const SafeFile::FileLook& log);

} // namespace ReportFiles
