#include "foldercopy.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <cerrno>
#include <climits>
#include <cstring>

#include <memory>
#include <utility>

namespace {

// Owner may write; group and others read and execute, nothing more.
constexpr mode_t kInstalledMode = 0755;
constexpr char kStagingTemplate[] = "/.zentria-update-XXXXXX";

class Descriptor
{
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }
    bool isValid() const { return m_fd >= 0; }

private:
    int m_fd;
};

struct CloseListing
{
    void operator()(DIR* listing) const { ::closedir(listing); }
};

QString failure(const QByteArray& path)
{
    return QStringLiteral("%1: %2").arg(QFile::decodeName(path),
                                        QString::fromLocal8Bit(std::strerror(errno)));
}

QString copyTree(int directory, const QByteArray& destination, bool keepLinks);

QString copyLink(int parent, const char* name, const QByteArray& destination)
{
    QByteArray link(PATH_MAX, '\0');
    const ssize_t length = ::readlinkat(parent, name, link.data(), link.size());
    if (length < 0)
        return failure(destination);
    link.truncate(length);
    return ::symlink(link.constData(), destination.constData()) == 0 ? QString()
                                                                     : failure(destination);
}

QString copyDirectory(int parent, const char* name, const QByteArray& destination, bool keepLinks)
{
    const Descriptor directory(
        ::openat(parent, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!directory.isValid())
        return failure(destination);
    if (::mkdir(destination.constData(), 0700) != 0 && errno != EEXIST)
        return failure(destination);
    struct stat info;
    if (::fstat(directory.get(), &info) != 0)
        return failure(destination);
    const QString error = copyTree(directory.get(), destination, keepLinks);
    if (!error.isEmpty())
        return error;
    return ::chmod(destination.constData(), info.st_mode & kInstalledMode) == 0
               ? QString()
               : failure(destination);
}

QString copyContent(int from, int to, const QByteArray& destination)
{
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    ssize_t length = 0;
    while ((length = ::read(from, buffer.data(), buffer.size())) > 0) {
        for (ssize_t written = 0; written < length;) {
            const ssize_t chunk = ::write(to, buffer.constData() + written, length - written);
            if (chunk < 0)
                return failure(destination);
            written += chunk;
        }
    }
    return length < 0 ? failure(destination) : QString();
}

QString copyFile(int parent, const char* name, const QByteArray& destination)
{
    // Without O_NONBLOCK a pipe put in the file's place would hold the copy.
    const Descriptor from(::openat(parent, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat info;
    if (!from.isValid() || ::fstat(from.get(), &info) != 0)
        return failure(destination);
    if (!S_ISREG(info.st_mode))
        return QStringLiteral("%1: not a regular file").arg(QFile::decodeName(destination));
    const Descriptor to(::open(destination.constData(),
                               O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, 0600));
    if (!to.isValid())
        return failure(destination);
    const QString error = copyContent(from.get(), to.get(), destination);
    if (!error.isEmpty())
        return error;
    if (::fchmod(to.get(), info.st_mode & kInstalledMode) != 0 || ::fsync(to.get()) != 0)
        return failure(destination);
    return {};
}

QString copyEntry(int parent, const char* name, const QByteArray& destination, bool keepLinks)
{
    struct stat info;
    if (::fstatat(parent, name, &info, AT_SYMLINK_NOFOLLOW) != 0)
        return failure(destination);
    if (S_ISLNK(info.st_mode)) {
        return keepLinks ? copyLink(parent, name, destination)
                         : QStringLiteral("%1: symbolic links are refused")
                               .arg(QFile::decodeName(destination));
    }
    if (S_ISDIR(info.st_mode))
        return copyDirectory(parent, name, destination, keepLinks);
    return copyFile(parent, name, destination);
}

// Copies what the open directory holds into the existing destination.
QString copyTree(int directory, const QByteArray& destination, bool keepLinks)
{
    const int copy = ::dup(directory);
    const std::unique_ptr<DIR, CloseListing> listing(::fdopendir(copy));
    if (!listing) {
        ::close(copy);
        return failure(destination);
    }
    while (const dirent* entry = ::readdir(listing.get())) {
        const QByteArray name(entry->d_name);
        if (name == "." || name == "..")
            continue;
        const QString error =
            copyEntry(directory, entry->d_name, destination + '/' + name, keepLinks);
        if (!error.isEmpty())
            return error;
    }
    return {};
}

Descriptor openFolder(const QByteArray& path)
{
    return Descriptor(::open(path.constData(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
}

// The target as it is, then the source over it.
QString fillStaging(const QByteArray& source, const QByteArray& target, const QByteArray& staging)
{
    const Descriptor sourceFolder = openFolder(source);
    const Descriptor targetFolder = openFolder(target);
    struct stat info;
    if (!sourceFolder.isValid())
        return failure(source);
    if (!targetFolder.isValid() || ::fstat(targetFolder.get(), &info) != 0)
        return failure(target);
    QString error = copyTree(targetFolder.get(), staging, true);
    if (error.isEmpty())
        error = copyTree(sourceFolder.get(), staging, false);
    if (error.isEmpty() && ::chmod(staging.constData(), info.st_mode & 07777) != 0)
        error = failure(staging);
    return error;
}

void syncFolder(const QByteArray& path)
{
    const Descriptor folder = openFolder(path);
    if (folder.isValid())
        ::fsync(folder.get());
}

QString swapIn(const QByteArray& staging, const QByteArray& target)
{
    const QByteArray old = target + ".old-" + staging.right(6);
    if (::rename(target.constData(), old.constData()) != 0)
        return failure(target);
    if (::rename(staging.constData(), target.constData()) != 0) {
        const QString error = failure(target);
        ::rename(old.constData(), target.constData());
        return error;
    }
    syncFolder(QFile::encodeName(QFileInfo(QFile::decodeName(target)).path()));
    QDir(QFile::decodeName(old)).removeRecursively();
    return {};
}

}  // namespace

QString FolderCopy::copyOver(const QString& source, const QString& target,
                             const QString& allowedTarget)
{
    const QString canonicalTarget = QFileInfo(target).canonicalFilePath();
    if (canonicalTarget.isEmpty() ||
        canonicalTarget != QFileInfo(allowedTarget).canonicalFilePath())
        return QStringLiteral("%1: only %2 may be written").arg(target, allowedTarget);
    const QByteArray targetPath = QFile::encodeName(canonicalTarget);
    QByteArray staging = QFile::encodeName(QFileInfo(canonicalTarget).path()) + kStagingTemplate;
    if (!::mkdtemp(staging.data()))
        return failure(staging);
    QString error = fillStaging(QFile::encodeName(source), targetPath, staging);
    if (error.isEmpty()) {
        syncFolder(staging);
        error = swapIn(staging, targetPath);
    }
    if (!error.isEmpty())
        QDir(QFile::decodeName(staging)).removeRecursively();
    return error;
}
