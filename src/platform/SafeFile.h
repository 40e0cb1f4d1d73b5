#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <optional>

class QFile;

// Files named by a path the user controls may be anything: a device that never ends, a FIFO that
// waits for a writer, a file of gigabytes. These calls never wait on another process and never read
// without bound.
namespace SafeFile {

// The content of a regular file of at most maxBytes. Nothing for any other kind of file, a larger
// one, or one that cannot be read; a path that is no regular file is not even opened.
std::optional<QByteArray> readRegularFile(const QString& path, qint64 maxBytes);

// What a path names once its links are followed.
enum class FileKind
{
    regular,
    folder,
    fifo,
    device, // character or block
    socket,
    missing,
    linkLoop,
    unreachable // any other failure to look, such as a folder on the way without permission
};

struct FileLook
{
    FileKind kind = FileKind::missing;
    quint64 device = 0; // with the inode, which file it is, however its path is spelt
    quint64 inode = 0;
    int error = 0; // the system's error number when the look failed

    // True when both name one existing file, through any spelling, link or hard link.
    bool isSameFile(const FileLook& other) const;
};

// Looks at the path without opening it, so a FIFO or a device is never touched.
FileLook look(const QString& path);

// Opens a regular file for reading without ever waiting: any other kind of file is not opened at
// all, and one swapped in between the look and the open is refused. The look says what the path
// named, and so why it was refused.
bool openForReading(QFile& file, const QString& path, FileLook& named);

// Opens the path for appending, creating a regular file when it is missing. Refused, with the file
// left closed, unless it is a regular file or a character device (such as /dev/null); the open
// never waits, and writes to a character device fail rather than wait.
bool openForAppend(QFile& file, const QString& path);

} // namespace SafeFile
