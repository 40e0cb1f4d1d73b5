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
