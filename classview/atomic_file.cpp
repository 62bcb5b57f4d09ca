// SPDX-License-Identifier: GPL-3.0-or-later
#include "classview/atomic_file.h"

#include "results/result_record.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A descriptor closed when it goes out of scope.
struct Descriptor {
    int fd = -1;
    explicit Descriptor(int d) : fd(d) {}
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
};

bool failed(QString *error, const QString &reason)
{
    if (error)
        *error = reason;
    return false;
}

// The target may be absent or a regular file, never a link or anything else.
bool targetUsable(int folder, const QByteArray &name, QString *error)
{
    struct stat info {};
    if (::fstatat(folder, name.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return errno == ENOENT || failed(error, QStringLiteral("%1: %2").arg(QFile::decodeName(name), systemReason(errno)));
    if (S_ISLNK(info.st_mode))
        return failed(error, QStringLiteral("на месте %1 стоит ссылка; по ссылке файл не сохраняется, выберите другое имя")
                                 .arg(QFile::decodeName(name)));
    if (!S_ISREG(info.st_mode))
        return failed(error, QStringLiteral("%1 — не обычный файл").arg(QFile::decodeName(name)));
    return true;
}

// Creates the temporary file "<name>.part" beside the target, or
// "<name>.1.part", "<name>.2.part", … when something stands at that name:
// what stands there is left alone, a link never followed.
int createTemporary(int folder, const QByteArray &name, QByteArray *temporary, QString *error)
{
    constexpr int attempts = 100;
    for (int n = 0; n < attempts; ++n) {
        const QByteArray candidate = name + (n ? '.' + QByteArray::number(n) : QByteArray()) + ".part";
        const int fd = ::openat(folder, candidate.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) {
            *temporary = candidate;
            return fd;
        }
        if (errno != EEXIST)
            break;
    }
    failed(error, QStringLiteral("не удалось создать временный файл для %1: %2")
                      .arg(QFile::decodeName(name), systemReason(errno)));
    return -1;
}

bool writeAll(int fd, const QByteArray &bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += n;
    }
    return ::fsync(fd) == 0;
}

} // namespace

bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    const QFileInfo target(path);
    const QByteArray name = QFile::encodeName(target.fileName());
    const Descriptor folder(::open(QFile::encodeName(target.absolutePath()).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.fd < 0)
        return failed(error, QStringLiteral("папка %1 не открывается: %2")
                                 .arg(QDir::toNativeSeparators(target.absolutePath()), systemReason(errno)));
    if (!targetUsable(folder.fd, name, error))
        return false;
    QByteArray temporary;
    const Descriptor file(createTemporary(folder.fd, name, &temporary, error));
    if (file.fd < 0)
        return false;
    bool done = writeAll(file.fd, bytes);
    if (!done)
        failed(error, QStringLiteral("%1 не записан: %2").arg(QFile::decodeName(name), systemReason(errno)));
    // Checked again just before the rename: a link that appeared meanwhile
    // would be replaced by the rename, not followed, but the teacher hears of it.
    done = done && targetUsable(folder.fd, name, error);
    if (done && ::renameat(folder.fd, temporary.constData(), folder.fd, name.constData()) != 0)
        done = failed(error, QStringLiteral("%1 не записан: %2").arg(QFile::decodeName(name), systemReason(errno)));
    if (!done) {
        ::unlinkat(folder.fd, temporary.constData(), 0);
        return false;
    }
    // The rename itself made lasting.
    ::fsync(folder.fd);
    return true;
}

bool savesInto(const QString &path, const QString &folder)
{
    const QString into = QFileInfo(QFileInfo(path).absolutePath()).canonicalFilePath();
    const QString results = QFileInfo(folder).canonicalFilePath();
    if (into.isEmpty() || results.isEmpty())
        return false;
    return into == results || into.startsWith(results + QLatin1Char('/'));
}
