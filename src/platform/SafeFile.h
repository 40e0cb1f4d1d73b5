#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

class QFile;

// Files named by a path the user controls may be anything: a device that never ends, a FIFO that
// waits for a writer, a file of gigabytes. These calls never wait on another process and never read
// without bound.
namespace SafeFile {

// The content of a regular file of at most maxBytes. Nothing for any other kind of file, a larger
// one, or one that cannot be read; a path that is no regular file is not even opened.
std::optional<QByteArray> readRegularFile(const QString& path, qint64 maxBytes);

// Opens the path for appending, creating a regular file when it is missing. Refused, with the file
// left closed, unless it is a regular file or a character device (such as /dev/null); the open
// never waits, and writes to a character device fail rather than wait.
bool openForAppend(QFile& file, const QString& path);

} // namespace SafeFile
