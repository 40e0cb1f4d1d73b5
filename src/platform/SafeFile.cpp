#include "platform/SafeFile.h"

#include <QFile>

#include <algorithm>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace SafeFile {

namespace {

// Closes the descriptor unless it was handed on.
class Descriptor
{
public:
    explicit Descriptor(int fd)
        : m_fd(fd)
    { }
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Q_DISABLE_COPY_MOVE(Descriptor)

    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }

private:
    int m_fd;
};

int openNonBlocking(const QString& path, int flags)
{
    int fd = -1;
    do
        fd = ::open(QFile::encodeName(path).constData(), flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
    while (fd < 0 && errno == EINTR);
    return fd;
}

bool isRegular(const struct stat& info)
{
    return S_ISREG(info.st_mode);
}

FileKind kindOf(const struct stat& info)
{
    if (isRegular(info))
        return FileKind::regular;
    if (S_ISDIR(info.st_mode))
        return FileKind::folder;
    if (S_ISFIFO(info.st_mode))
        return FileKind::fifo;
    if (S_ISSOCK(info.st_mode))
        return FileKind::socket;
    return FileKind::device;
}

FileLook lookOf(const struct stat& info)
{
    FileLook result;
    result.kind = kindOf(info);
    result.device = quint64(info.st_dev);
    result.inode = quint64(info.st_ino);
    return result;
}

FileLook failedLook(int error)
{
    FileLook result;
    result.error = error;
    result.kind = error == ENOENT || error == ENOTDIR ? FileKind::missing
        : error == ELOOP                              ? FileKind::linkLoop
                                                      : FileKind::unreachable;
    return result;
}

// Reads until the end of the file or until more than maxBytes have come.
std::optional<QByteArray> readAtMost(int fd, qint64 maxBytes)
{
    QByteArray content;
    std::array<char, std::size_t(1) << 16> chunk{};
    while (content.size() <= maxBytes) {
        const auto wanted = std::min<qint64>(qint64(chunk.size()), maxBytes + 1 - content.size());
        const ssize_t got = ::read(fd, chunk.data(), std::size_t(wanted));
        if (got == 0)
            return content;
        if (got < 0 && errno != EINTR)
            return std::nullopt;
        if (got > 0)
            content.append(chunk.data(), got);
    }
    return std::nullopt;
}

} // namespace

bool FileLook::isSameFile(const FileLook& other) const
{
    return error == 0 && other.error == 0 && kind != FileKind::missing && other.kind != FileKind::missing
        && device == other.device && inode == other.inode;
}

FileLook look(const QString& path)
{
    struct stat info
    { };
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return failedLook(errno);
    return lookOf(info);
}

bool openForReading(QFile& file, const QString& path, FileLook& named)
{
    named = look(path);
    if (named.kind != FileKind::regular)
        return false;
    Descriptor fd(openNonBlocking(path, O_RDONLY));
    if (fd.get() < 0) {
        named = failedLook(errno);
        return false;
    }
    struct stat info
    { };
    named = ::fstat(fd.get(), &info) == 0 ? lookOf(info) : failedLook(errno);
    if (named.kind != FileKind::regular
        || !file.open(fd.get(), QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle))
        return false;
    fd.release();
    return true;
}

std::optional<QByteArray> readRegularFile(const QString& path, qint64 maxBytes)
{
    // Opening a FIFO for reading would wait for a writer, and a device may act on being opened.
    struct stat info
    { };
    if (::stat(QFile::encodeName(path).constData(), &info) != 0 || !isRegular(info) || info.st_size > maxBytes)
        return std::nullopt;
    Descriptor fd(openNonBlocking(path, O_RDONLY));
    // The path may have been replaced between the two looks.
    if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0 || !isRegular(info))
        return std::nullopt;
    return readAtMost(fd.get(), maxBytes);
}

bool openForAppend(QFile& file, const QString& path)
{
    Descriptor fd(openNonBlocking(path, O_RDWR | O_APPEND | O_CREAT));
    struct stat info
    { };
    if (fd.get() < 0 || ::fstat(fd.get(), &info) != 0 || !(isRegular(info) || S_ISCHR(info.st_mode)))
        return false;
    if (!file.open(
            fd.get(), QIODevice::ReadWrite | QIODevice::Append | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle))
        return false;
    fd.release();
    return true;
}

} // namespace SafeFile
