#pragma once

#include <QString>

class QIODevice;

// The CSV file of captures: one line per call, opened and closed each time so other programs can
// read the file between captures.
namespace CsvLog {

// Appends the text and CR LF in the single-byte code page. False when the line is not in the
// file: an empty path, a file that cannot be opened, a path that is neither a regular file nor a
// character device, or a write that fails, in which case the file is cut back so no partial line is
// left for the next one to run into. Nothing here ever waits on another process. A file that does
// not end with a line break gets one first, so the new line never joins an unfinished one.
bool appendLineToFile(const QString& path, const QString& text);

// Writes the text and CR LF to the device; false unless every byte was taken.
bool appendLine(QIODevice& device, const QString& text);

// The CSV file's path for the file name typed by the user: an absolute name as it stands, a
// relative one in the given folder. An empty name gives the folder itself, which cannot be opened
// as a file.
QString outputPathFor(const QString& folder, const QString& fileName);

} // namespace CsvLog
