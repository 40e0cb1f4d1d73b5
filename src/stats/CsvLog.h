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

// Longest value text a CSV field holds; a longer one is cut and ends in "...".
inline constexpr qsizetype maxValueLength = 32;

// A value text from the router page as one well-formed CSV field that no spreadsheet runs as a
// formula. A number or "NA" the page gave (numberOrNa) of at most maxValueLength characters stands
// as it is. Otherwise: control characters are dropped, a text longer than maxValueLength keeps its
// first maxValueLength - 3 characters and "...", a text that is not such a number and starts (after
// blanks) with =, +, - or @ gets an apostrophe before it, and a text holding a comma or a double
// quote is enclosed in double quotes with its quotes doubled.
QString valueField(const QString& valueText, bool numberOrNa);

// The CSV file's path for the file name typed by the user: an absolute name as it stands, a
// relative one in the given folder. An empty name gives the folder itself, which cannot be opened
// as a file.
QString outputPathFor(const QString& folder, const QString& fileName);

} // namespace CsvLog
