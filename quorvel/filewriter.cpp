#include "filewriter.h"

#include <QRandomGenerator>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

enum class Outcome { Written, Failed, NotReplaced };

int openRetrying(const char *path, int flags, mode_t mode)
{
    int fd;
    do {
        fd = ::open(path, flags | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

bool writeAll(int fd, const QByteArray &content)
{
    const char *data = content.constData();
    qint64 left = content.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        left -= n;
    }
    return true;
}

// On Linux the descriptor is gone even when close() is interrupted.
bool closeChecked(int fd)
{
    return ::close(fd) == 0 || errno == EINTR;
}

bool isReplaceable(const struct stat &st)
{
    return S_ISREG(st.st_mode) && st.st_nlink == 1 && st.st_uid == ::geteuid()
            && (st.st_mode & (S_ISUID | S_ISGID)) == 0;
}

QByteArray folderOf(const QByteArray &path)
{
    const int slash = path.lastIndexOf('/');
    if (slash < 0)
        return QByteArrayLiteral(".");
    return slash == 0 ? QByteArrayLiteral("/") : path.left(slash);
}

// Creates a fresh file next to `path`; returns its descriptor and sets `tempPath`.
int createTempFile(const QByteArray &path, mode_t mode, QByteArray *tempPath)
{
    const QByteArray folder = folderOf(path);
    const QByteArray name = path.mid(path.lastIndexOf('/') + 1);
    for (int attempt = 0; attempt < 100; ++attempt) {
        *tempPath = folder + "/." + name + '.'
                + QByteArray::number(QRandomGenerator::global()->generate(), 36) + ".tmp";
        const int fd = openRetrying(tempPath->constData(), O_WRONLY | O_CREAT | O_EXCL, mode);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}

// Gives the new file the old one's group and permission bits.
bool takeOverAttributes(int fd, const struct stat &old)
{
    struct stat st;
    if (::fstat(fd, &st) != 0)
        return false;
    if (st.st_gid != old.st_gid && ::fchown(fd, uid_t(-1), old.st_gid) != 0)
        return false;
    return ::fchmod(fd, old.st_mode & 07777) == 0;
}

Outcome replaceWhole(const QByteArray &path, const QByteArray &content, const struct stat *old)
{
    QByteArray tempPath;
    // A new file gets 0666 less the umask from the kernel, as open() would give it.
    const int fd = createTempFile(path, old ? 0600 : 0666, &tempPath);
    if (fd < 0)
        return Outcome::NotReplaced;
    if (old && !takeOverAttributes(fd, *old)) {
        ::close(fd);
        ::unlink(tempPath.constData());
        return Outcome::NotReplaced;
    }
    const bool written = writeAll(fd, content) && ::fsync(fd) == 0;
    if (!closeChecked(fd) || !written) {
        ::unlink(tempPath.constData());
        return Outcome::Failed;
    }
    // rename() fails for a file that is a mount point (a bind-mounted file, say).
    if (::rename(tempPath.constData(), path.constData()) != 0) {
        ::unlink(tempPath.constData());
        return Outcome::NotReplaced;
    }
    return Outcome::Written;
}

bool reserveSpace(int fd, qint64 size)
{
    if (size == 0)
        return true;
    const int result = ::posix_fallocate(fd, 0, off_t(size));
    // Filesystems that cannot reserve space are written without a reservation.
    return result == 0 || result == EOPNOTSUPP || result == EINVAL || result == ENODEV;
}

bool writeInPlace(const QByteArray &path, const QByteArray &content)
{
    const int fd = openRetrying(path.constData(), O_WRONLY | O_CREAT, 0666);
    if (fd < 0)
        return false;
    struct stat st;
    bool written = ::fstat(fd, &st) == 0;
    if (written && S_ISREG(st.st_mode)) {
        // The old content is overwritten only once the new one is sure to fit, then cut
        // to length, so a full disk or a size limit is found while the file is intact.
        written = reserveSpace(fd, content.size()) && writeAll(fd, content)
                && ::ftruncate(fd, off_t(content.size())) == 0 && ::fsync(fd) == 0;
    } else if (written) {
        written = writeAll(fd, content);
    }
    return closeChecked(fd) && written;
}

// The path whose directory entry gets replaced: a symbolic link is followed, so the link
// stays a link. Null when the target cannot be resolved (a dangling link).
QByteArray entryToReplace(const QByteArray &path, const struct stat &linkStat)
{
    if (!S_ISLNK(linkStat.st_mode))
        return path;
    char resolved[PATH_MAX];
    if (!::realpath(path.constData(), resolved))
        return QByteArray();
    return QByteArray(resolved);
}

bool replaceOrWriteInPlace(const QByteArray &path, const QByteArray &content,
                           const struct stat *old)
{
    const Outcome outcome = replaceWhole(path, content, old);
    if (outcome == Outcome::NotReplaced)
        return writeInPlace(path, content);
    return outcome == Outcome::Written;
}

} // namespace

bool writeFileContent(const QByteArray &path, const QByteArray &content)
{
    struct stat st;
    if (::lstat(path.constData(), &st) != 0) {
        return errno == ENOENT ? replaceOrWriteInPlace(path, content, nullptr)
                               : writeInPlace(path, content);
    }
    const QByteArray entry = entryToReplace(path, st);
    if (entry.isNull() || ::stat(entry.constData(), &st) != 0 || !isReplaceable(st))
        return writeInPlace(path, content);
    return replaceOrWriteInPlace(entry, content, &st);
}
