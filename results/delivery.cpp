// SPDX-License-Identifier: GPL-3.0-or-later
#include "results/delivery.h"

#include "results/practice_record.h"
#include "results/result_record.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMutex>
#include <QSaveFile>
#include <QStandardPaths>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Serialises storing a record and removing a delivered one in this process:
// a record stored again while an older copy of it is being delivered must
// not be removed with the older one.
QMutex outboxMutex;

QString failure(const char *step, const QString &name, int error)
{
    return QStringLiteral("%1 %2: %3").arg(QLatin1String(step), name, QString::fromLocal8Bit(std::strerror(error)));
}

// A file descriptor that closes itself.
class Fd
{
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    ~Fd() { reset(); }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    // Closes now; close's own error (NFS and SMB report late write errors
    // there) is returned as an errno, 0 when fine.
    int reset()
    {
        int error = 0;
        if (m_fd >= 0 && ::close(m_fd) != 0)
            error = errno;
        m_fd = -1;
        return error;
    }

private:
    int m_fd;
};

bool writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        left -= written;
    }
    return true;
}

// Reads at most `limit` bytes of a file; false on a read error.
bool readAll(int fd, qsizetype limit, QByteArray *bytes)
{
    bytes->clear();
    char buffer[65536];
    while (bytes->size() <= limit) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (got == 0)
            return true;
        bytes->append(buffer, got);
    }
    return true;
}

// Reads a delivered file back by name, as the teacher's side will find it,
// and compares it byte for byte; the reason when it differs, else empty.
QString readBack(int dir, const QString &name, const QByteArray &bytes)
{
    const Fd back(::openat(dir, QFile::encodeName(name).constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    QByteArray read;
    if (!back.valid() || !readAll(back.get(), bytes.size(), &read))
        return failure("cannot read back", name, errno);
    if (read != bytes)
        return QStringLiteral("%1 reads back different from what was written").arg(name);
    return QString();
}

} // namespace

QString recordFileName(const QString &key)
{
    if (isResultId(key))
        return resultFileName(key);
    const QString suffix = QString::fromLatin1(PracticeSuffix);
    if (key.endsWith(suffix) && isResultId(key.chopped(suffix.size())))
        return key;
    return QString();
}

QString resultTempName(const QString &id)
{
    return QLatin1Char('.') + recordFileName(id) + QStringLiteral(".part");
}

DeliveryResult deliverFile(const QString &folder, const QString &finalName, const QString &tempName,
                           const QByteArray &bytes)
{
    DeliveryResult result;
    // Every name below is opened relative to the folder opened once here:
    // O_PATH needs no permission to list or read it, only to pass through it.
    const Fd dir(::open(QFile::encodeName(folder).constData(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!dir.valid()) {
        result.error = failure("cannot open the folder", folder, errno);
        return result;
    }
    const QByteArray temp = QFile::encodeName(tempName);
    const QByteArray final = QFile::encodeName(finalName);
    // A temporary file of ours left by a killed run, or a link planted under
    // its name: unlink removes the name, following nothing. Its error counts
    // only if the name is taken: a share that cannot look names up in a
    // folder the pupil may not list refuses to unlink a name that is not there.
    const int unlinkError = ::unlinkat(dir.get(), temp.constData(), 0) == 0 ? ENOENT : errno;
    Fd file(::openat(dir.get(), temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0640));
    if (!file.valid()) {
        result.error = errno == EEXIST && unlinkError != ENOENT
                           ? failure("cannot remove the leftover", tempName, unlinkError)
                           : failure("cannot create", tempName, errno);
        return result;
    }
    // The mode asked for, whatever the umask: in a drop box the teachers'
    // group reads the file. A share that keeps its own modes may refuse.
    (void)::fchmod(file.get(), 0640);
    int error = 0;
    const char *step = nullptr;
    if (!writeAll(file.get(), bytes)) {
        error = errno;
        step = "cannot write";
    } else if (::fsync(file.get()) != 0) {
        error = errno;
        step = "cannot flush";
    } else if (const int closeError = file.reset(); closeError != 0) {
        error = closeError;
        step = "cannot close";
    } else if (::renameat(dir.get(), temp.constData(), dir.get(), final.constData()) != 0) {
        error = errno;
        step = "cannot rename";
    }
    if (step) {
        file.reset();
        ::unlinkat(dir.get(), temp.constData(), 0);
        result.error = failure(step, tempName, error);
        return result;
    }

    result.error = readBack(dir.get(), finalName, bytes);
    result.delivered = result.error.isEmpty();
    return result;
}

Outbox::Outbox(const QString &dir) : m_dir(dir) {}

QString Outbox::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation) + QStringLiteral("/outbox");
}

QString Outbox::path(const QString &id) const
{
    return m_dir + QLatin1Char('/') + recordFileName(id);
}

bool Outbox::store(const QString &id, const QByteArray &bytes, QString *error) const
{
    if (recordFileName(id).isEmpty()) {
        if (error)
            *error = QStringLiteral("%1 is not a record id").arg(id);
        return false;
    }
    const QMutexLocker lock(&outboxMutex);
    if (!QDir().mkpath(m_dir)) {
        if (error)
            *error = QStringLiteral("cannot create %1").arg(m_dir);
        return false;
    }
    // Records hold pupils' names: the outbox is the account's own.
    QFile::setPermissions(m_dir, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QSaveFile file(path(id));
    // The pupil's own copy: readable by the pupil alone, like the folder.
    if (!file.open(QIODevice::WriteOnly) || !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner)
        || file.write(bytes) != bytes.size() || !file.commit()) {
        if (error)
            *error = QStringLiteral("cannot write %1: %2").arg(file.fileName(), file.errorString());
        return false;
    }
    return true;
}

void Outbox::remove(const QString &id) const
{
    const QMutexLocker lock(&outboxMutex);
    QFile::remove(path(id));
}

QStringList Outbox::waitingIds() const
{
    QStringList ids;
    const QString testSuffix = QString::fromLatin1(ResultSuffix);
    const QFileInfoList files =
        QDir(m_dir).entryInfoList({QLatin1Char('*') + testSuffix, QLatin1Char('*') + QString::fromLatin1(PracticeSuffix)},
                                  QDir::Files, QDir::Time | QDir::Reversed);
    for (const QFileInfo &file : files) {
        // A test record by its id, a practice record by its file name.
        const QString name = file.fileName();
        const QString id = name.endsWith(testSuffix) ? name.chopped(testSuffix.size()) : name;
        if (!recordFileName(id).isEmpty())
            ids << id;
    }
    return ids;
}

DeliveryResult Outbox::deliver(const QString &id, const QString &folder) const
{
    DeliveryResult result;
    const QByteArray name = QFile::encodeName(path(id));
    const Fd file(::open(name.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (!file.valid()) {
        result.error = failure("cannot open", path(id), errno);
        return result;
    }
    // One delivery of a record at a time, also across processes of the same
    // account: two writers under one temporary name would mix their bytes.
    if (::flock(file.get(), LOCK_EX | LOCK_NB) != 0) {
        result.error = QStringLiteral("%1 is being delivered by another run").arg(recordFileName(id));
        return result;
    }
    QByteArray bytes;
    if (!readAll(file.get(), 64 * 1024 * 1024, &bytes)) {
        result.error = failure("cannot read", path(id), errno);
        return result;
    }
    result = deliverFile(folder, recordFileName(id), resultTempName(id), bytes);
    if (!result.delivered)
        return result;
    // Removed only if it still holds what was delivered: a record graded
    // again meanwhile waits for its own delivery.
    const QMutexLocker lock(&outboxMutex);
    QFile current(path(id));
    if (current.open(QIODevice::ReadOnly) && current.readAll() == bytes)
        QFile::remove(path(id));
    return result;
}
