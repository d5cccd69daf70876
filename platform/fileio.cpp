#include "fileio.h"

#include "errors.h"

#include <array>
#include <cctype>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace qm {

std::string systemErrorText(int err)
{
    switch (err) {
    case ENOENT:
    case ENOTDIR:
        return "File not found";
    case ENAMETOOLONG:
    case EINVAL:
        return "Invalid filename";
    case EMFILE:
    case ENFILE:
        return "Too many open files";
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
        return "File access denied";
    case ENOSPC:
    case EDQUOT:
        return "Disk full";
    default:
        return "I/O error " + std::to_string(err);
    }
}

void throwIoError(int err) { throw EInOutError(systemErrorText(err), err); }

void throwReadBeyondEnd() { throw EInOutError(kReadBeyondEnd, 100); }

void throwNotRegular(unsigned mode)
{
    const char *what = S_ISFIFO(mode)                      ? "a named pipe"
                       : S_ISCHR(mode) || S_ISBLK(mode) ? "a device"
                       : S_ISSOCK(mode)                   ? "a socket"
                                                          : "not a file of data";
    throw EInOutError(std::string(kNotRegularFile) + " (it is " + what + ")", EINVAL);
}

namespace iofault {
namespace {
struct Planned {
    int nth = 0; // 0: nothing planned
    int err = 0;
};
std::array<Planned, 7> planned;
} // namespace

void inject(Op op, int nth, int err) { planned[static_cast<size_t>(op)] = {nth, err}; }

void reset() { planned = {}; }

int check(Op op)
{
    Planned &p = planned[static_cast<size_t>(op)];
    if (p.nth <= 0)
        return 0;
    if (--p.nth > 0)
        return 0;
    return p.err;
}
} // namespace iofault

void *allocateLargeReadBuffer(size_t bytes)
{
    const size_t size = (bytes + kLargeReadBuffer - 1) / kLargeReadBuffer * kLargeReadBuffer;
    void *buffer = std::aligned_alloc(kLargeReadBuffer, size);
    if (!buffer)
        throw std::bad_alloc();
#if defined(MADV_HUGEPAGE)
    ::madvise(buffer, size, MADV_HUGEPAGE); // only advice: a system without large pages reads as before
#endif
    return buffer;
}

void freeLargeReadBuffer(void *buffer) noexcept { std::free(buffer); }

namespace {

using iofault::Op;

int openChecked(const char *path, int flags, mode_t mode = 0)
{
    if (int e = iofault::check(Op::Open))
        throwIoError(e);
    if (path[0] == '\0')
        throwIoError(ENOENT);
    int fd;
    do {
        fd = ::open(path, flags | O_CLOEXEC, mode);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        throwIoError(errno);
    return fd;
}

// Opens path without waiting (a named pipe with no writer cannot hold the program up), refuses
// anything but a regular file, then lets reads and writes wait for the disk again. Fills st.
int openRegularFile(const char *path, int flags, struct stat &st)
{
    FileDescriptor fd(openChecked(path, flags | O_NONBLOCK));
    if (::fstat(fd.get(), &st) != 0)
        throwIoError(errno);
    if (S_ISDIR(st.st_mode))
        throwIoError(EISDIR);
    if (!S_ISREG(st.st_mode))
        throwNotRegular(st.st_mode);
    const int opened = ::fcntl(fd.get(), F_GETFL);
    if (opened < 0 || ::fcntl(fd.get(), F_SETFL, opened & ~O_NONBLOCK) != 0)
        throwIoError(errno);
    return fd.release();
}

FileIdentity identityOf(const struct stat &st)
{
    return {static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino),
            S_ISREG(st.st_mode) ? static_cast<uint64_t>(st.st_size) : 0, static_cast<int64_t>(st.st_mtim.tv_sec),
            static_cast<int64_t>(st.st_mtim.tv_nsec)};
}

} // namespace

std::optional<FileIdentity> fileIdentity(const std::string &path)
{
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return std::nullopt;
    return identityOf(st);
}

FileDescriptor::~FileDescriptor()
{
    if (mFd >= 0)
        ::close(mFd);
}

void FileDescriptor::close()
{
    const int fd = std::exchange(mFd, -1);
    int e = iofault::check(Op::Close);
    if (::close(fd) != 0 && e == 0 && errno != EINTR)
        e = errno;
    if (e)
        throwIoError(e);
}

namespace {

void writeAll(int fd, const uint8_t *data, size_t size)
{
    if (int e = iofault::check(Op::Write))
        throwIoError(e);
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            throwIoError(errno);
        }
        if (n == 0)
            throwIoError(ENOSPC);
        data += n;
        size -= static_cast<size_t>(n);
    }
}

std::string directoryOf(const std::string &path)
{
    size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    if (slash == 0)
        return "/";
    return path.substr(0, slash);
}

mode_t newFileMode()
{
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

template <class Buffer> Buffer readWholeFileAs(ReadableFile &file, size_t maxSize)
{
    // Regular files are read at their known size; anything else (a pipe, a device) grows as it comes.
    Buffer bytes(file.regular() ? static_cast<size_t>(file.size()) : 0);
    size_t used = 0;
    uint8_t probe[4096];
    for (;;) {
        uint8_t *into = used < bytes.size() ? bytes.data() + used : probe;
        size_t room = used < bytes.size() ? bytes.size() - used : sizeof probe;
        size_t n = file.readSome(into, room);
        if (n == 0)
            break;
        if (into == probe) {
            if (used + n > maxSize)
                throw EInOutError("File is too large (more than " + std::to_string(maxSize) + " bytes)", EFBIG);
            bytes.insert(bytes.end(), probe, probe + n);
        }
        used += n;
    }
    bytes.resize(used);
    file.close();
    return bytes;
}

} // namespace

ReadableFile::ReadableFile(const std::string &path, size_t maxSize) : ReadableFile(path, maxSize, {}) {}

ReadableFile::ReadableFile(const std::string &path, size_t maxSize, struct stat st)
    : mFd(openRegularFile(path.c_str(), O_RDONLY, st))
{
    mRegular = true;
    if (static_cast<uint64_t>(st.st_size) > maxSize)
        throw EInOutError("File is too large (" + std::to_string(st.st_size) + " bytes, at most "
                              + std::to_string(maxSize) + " are read)",
                          EFBIG);
    mIdentity = identityOf(st);
}

size_t ReadableFile::readSome(void *into, size_t room)
{
    for (;;) {
        if (int e = iofault::check(Op::Read))
            throwIoError(e);
        ssize_t n = ::read(mFd.get(), into, room);
        if (n >= 0)
            return static_cast<size_t>(n);
        if (errno != EINTR)
            throwIoError(errno);
    }
}

void ReadableFile::readAt(uint64_t pos, void *into, size_t n)
{
    auto *to = static_cast<uint8_t *>(into);
    while (n > 0) {
        if (int e = iofault::check(Op::Read))
            throwIoError(e);
        ssize_t got = ::pread(mFd.get(), to, n, static_cast<off_t>(pos));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            throwIoError(errno);
        }
        if (got == 0)
            throwReadBeyondEnd();
        to += got, pos += static_cast<uint64_t>(got), n -= static_cast<size_t>(got);
    }
}

void ReadableFile::close() { mFd.close(); }

Bytes readWholeFile(const std::string &path, size_t maxSize)
{
    ReadableFile file(path, maxSize);
    return readWholeFileAs<Bytes>(file, maxSize);
}

RawBytes readWholeFileRaw(const std::string &path, size_t maxSize)
{
    ReadableFile file(path, maxSize);
    return readWholeFileAs<RawBytes>(file, maxSize);
}

RawBytes readWholeFileRaw(ReadableFile &file, size_t maxSize) { return readWholeFileAs<RawBytes>(file, maxSize); }

Bytes readFileStart(const std::string &path, size_t count)
{
    ReadableFile file(path, SIZE_MAX);
    Bytes bytes(count);
    for (size_t used = 0; used < count;) {
        size_t n = file.readSome(bytes.data() + used, count - used);
        if (n == 0)
            throwReadBeyondEnd();
        used += n;
    }
    file.close();
    return bytes;
}

namespace {

PreviousBytesKeeper *installedKeeper = nullptr;
// A keeper's own save may not end in a save in place that asks it again.
thread_local bool keeping = false;

void writeAllAt(int fd, const uint8_t *data, size_t size)
{
    if (::lseek(fd, 0, SEEK_SET) != 0)
        throwIoError(errno);
    writeAll(fd, data, size);
}

void syncFile(int fd)
{
    if (int e = iofault::check(Op::Sync))
        throwIoError(e);
    if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS)
        throwIoError(errno);
}

// Room for size bytes in the file, without changing its length or a byte of it. A file system that
// cannot reserve is written without it: a failure is then undone by writing the previous bytes back.
void reserve(int fd, size_t size)
{
    int e = iofault::check(Op::Reserve);
    if (e == 0 && size > 0 && ::fallocate(fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(size)) != 0)
        e = errno;
    if (e == 0 || e == EOPNOTSUPP || e == ENOSYS || e == EINVAL)
        return;
    throwIoError(e);
}

// The write of a file whose directory takes no temporary file: the file itself is overwritten, then
// cut to the new length and flushed. Before the first byte changes, room for the new content is
// reserved and the previous bytes are kept aside; any failure after that puts them back.
void writeInPlace(const std::string &target, const uint8_t *data, size_t size)
{
    struct stat st {};
    FileDescriptor fd(openRegularFile(target.c_str(), O_RDWR, st));

    Bytes previous(static_cast<size_t>(st.st_size));
    for (size_t used = 0; used < previous.size();) {
        if (int e = iofault::check(Op::Read))
            throwIoError(e);
        ssize_t n = ::pread(fd.get(), previous.data() + used, previous.size() - used, static_cast<off_t>(used));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throwIoError(errno);
        if (n == 0) { // cut by someone else meanwhile: what is there is what there was
            previous.resize(used);
            break;
        }
        used += static_cast<size_t>(n);
    }

    reserve(fd.get(), size);
    PreviousBytesKeeper *keeper = keeping ? nullptr : installedKeeper;
    std::string kept;
    if (keeper) {
        keeping = true;
        struct Done {
            ~Done() { keeping = false; }
        } done;
        kept = keeper->keep(target, previous.data(), previous.size());
    }
    try {
        // Flushed before it is cut: until then, putting the previous bytes back needs no new room.
        writeAllAt(fd.get(), data, size);
        syncFile(fd.get());
        if (size < previous.size()) {
            if (::ftruncate(fd.get(), static_cast<off_t>(size)) != 0)
                throwIoError(errno);
            syncFile(fd.get());
        }
        fd.close();
    } catch (...) {
        // The previous bytes go back where they were; their kept copy stays unless that succeeds.
        try {
            FileDescriptor again(openChecked(target.c_str(), O_WRONLY | O_NONBLOCK));
            writeAllAt(again.get(), previous.data(), previous.size());
            if (::ftruncate(again.get(), static_cast<off_t>(previous.size())) != 0)
                throwIoError(errno);
            syncFile(again.get());
            again.close();
            if (keeper)
                keeper->drop(kept);
        } catch (...) {
        }
        throw;
    }
    if (keeper)
        keeper->drop(kept);
}

// A name mkostemp makes from the pattern: the prefix and six letters or digits.
bool isTemporaryName(const char *name)
{
    const size_t prefix = std::strlen(kSaveTemporaryPrefix);
    if (std::strncmp(name, kSaveTemporaryPrefix, prefix) != 0 || std::strlen(name) != prefix + 6)
        return false;
    for (const char *c = name + prefix; *c; ++c)
        if (!std::isalnum(static_cast<unsigned char>(*c)))
            return false;
    return true;
}

// Removes the temporary files of saves that were killed: this user's, untouched for a minute, and
// locked by no save (a save holds the lock on its temporary file until it closes it; the system drops
// the lock of a program that ends in any way).
void removeStaleTemporaries(const std::string &dir)
{
    DIR *d = ::opendir(dir.c_str());
    if (!d)
        return;
    const time_t now = ::time(nullptr);
    while (dirent *entry = ::readdir(d)) {
        if (!isTemporaryName(entry->d_name))
            continue;
        int raw = ::openat(::dirfd(d), entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (raw < 0)
            continue;
        FileDescriptor fd(raw);
        struct stat st {};
        if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()
            || now - st.st_mtime < 60)
            continue;
        if (::flock(fd.get(), LOCK_EX | LOCK_NB) == 0)
            ::unlinkat(::dirfd(d), entry->d_name, 0);
    }
    ::closedir(d);
}

} // namespace

void setPreviousBytesKeeper(PreviousBytesKeeper *keeper) { installedKeeper = keeper; }

PreviousBytesKeeper *previousBytesKeeper() { return installedKeeper; }

void writeFileSafely(const std::string &path, const void *data, size_t size)
{
    if (path.empty())
        throwIoError(ENOENT);
    if (path.back() == '/')
        throwIoError(EISDIR);

    // Saving through a symbolic link replaces the file it points to, not the link.
    std::string target = path;
    struct stat st {};
    bool exists = ::stat(path.c_str(), &st) == 0;
    if (exists && S_ISDIR(st.st_mode))
        throwIoError(EISDIR);
    struct stat lst {};
    if (::lstat(path.c_str(), &lst) == 0 && S_ISLNK(lst.st_mode)) {
        if (char *real = ::realpath(path.c_str(), nullptr)) {
            target = real;
            std::free(real);
        }
    }
    // A file the user may not write is refused, as a plain write would be: renaming a new file over
    // it would bypass its permissions.
    if (exists && ::faccessat(AT_FDCWD, target.c_str(), W_OK, AT_EACCESS) != 0)
        throwIoError(errno);

    // The temporary name has a fixed length, so that any name the system takes can be saved.
    std::string dir = directoryOf(target);
    std::string tmpl = dir + "/" + kSaveTemporaryPrefix + "XXXXXX";
    if (int e = iofault::check(Op::Open))
        throwIoError(e);
    int raw = ::mkostemp(tmpl.data(), O_CLOEXEC);
    if (raw < 0) {
        int err = errno == EEXIST ? EACCES : errno;
        // A directory the user cannot write may still hold a file the user may write.
        if (exists && (err == EACCES || err == EPERM)) {
            writeInPlace(target, static_cast<const uint8_t *>(data), size);
            return;
        }
        throwIoError(err);
    }
    FileDescriptor fd(raw);
    // Held until the file is closed: a later save takes a temporary file for stale only once no
    // save holds it any more.
    ::flock(fd.get(), LOCK_EX);
    bool done = false;
    struct RemoveUnlessDone {
        const std::string &name;
        const bool &done;
        ~RemoveUnlessDone()
        {
            if (!done)
                ::unlink(name.c_str());
        }
    } cleanup{tmpl, done};

    // The new file gets the permissions of the one it replaces, or those of any new file.
    ::fchmod(fd.get(), exists ? (st.st_mode & 07777) : newFileMode());
    writeAll(fd.get(), static_cast<const uint8_t *>(data), size);
    if (int e = iofault::check(Op::Sync))
        throwIoError(e);
    if (::fsync(fd.get()) != 0 && errno != EINVAL && errno != EROFS)
        throwIoError(errno);
    fd.close();
    if (int e = iofault::check(Op::Rename))
        throwIoError(e);
    if (::rename(tmpl.c_str(), target.c_str()) != 0)
        throwIoError(errno);
    done = true;

    // Make the rename itself durable; a failure here cannot undo the save any more.
    int dirfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirfd >= 0) {
        ::fsync(dirfd);
        ::close(dirfd);
    }
    removeStaleTemporaries(dir);
}

} // namespace qm
