#include "fileio.h"

#include "errors.h"

#include <algorithm>
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
#include <chrono>
#include <thread>
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
    const char *what = S_ISDIR(mode)                       ? "a directory"
                       : S_ISFIFO(mode)                    ? "a named pipe"
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
StepHook stepHook = nullptr;
int lockWaitMilliseconds = 3000;
} // namespace

void inject(Op op, int nth, int err) { planned[static_cast<size_t>(op)] = {nth, err}; }

void reset() { planned = {}; }

void setStepHook(StepHook hook) { stepHook = hook; }

void setSaveLockWait(int milliseconds) { lockWaitMilliseconds = milliseconds; }

void step(const char *name)
{
    if (stepHook)
        stepHook(name);
}

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
    int raw = -1;
    try {
        raw = openChecked(path, flags | O_NONBLOCK);
    } catch (const EInOutError &) {
        // A socket or a directory opened for writing fails with a code that does not say what it is.
        struct stat named {};
        if (::stat(path, &named) == 0 && !S_ISREG(named.st_mode))
            throwNotRegular(named.st_mode);
        throw;
    }
    FileDescriptor fd(raw);
    if (::fstat(fd.get(), &st) != 0)
        throwIoError(errno);
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

ForwardFileBytes::ForwardFileBytes(const std::string &path, size_t maxSize) : mFile(path, maxSize)
{
    mSize = static_cast<size_t>(mFile.size());
    if (mSize == 0)
        return;
    void *pages = ::mmap(nullptr, mSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (pages == MAP_FAILED)
        throw std::bad_alloc();
    mData = static_cast<uint8_t *>(pages);
}

ForwardFileBytes::~ForwardFileBytes()
{
    if (mData)
        ::munmap(mData, mSize);
}

void ForwardFileBytes::need(size_t end)
{
    // Read in steps of some size, not a few bytes at a time as the reader goes.
    constexpr size_t kStep = size_t(64) << 10;
    if (end <= mRead)
        return;
    const size_t until = std::min(mSize, std::max(end, mRead + kStep));
    while (mRead < until) {
        const size_t n = mFile.readSome(mData + mRead, until - mRead);
        if (n == 0)
            throwReadBeyondEnd();
        mRead += n;
    }
}

void ForwardFileBytes::releaseBefore(size_t offset)
{
    const size_t page = static_cast<size_t>(::sysconf(_SC_PAGESIZE));
    const size_t end = std::min(offset, mRead) / page * page;
    if (end <= mReleased)
        return;
    // Only advice about this object's own pages: a refusal leaves them held, as before.
    ::madvise(mData + mReleased, end - mReleased, MADV_DONTNEED);
    mReleased = end;
}

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

bool sameFile(const struct stat &a, const struct stat &b) { return a.st_dev == b.st_dev && a.st_ino == b.st_ino; }

// Opens the existing file at target and takes its save lock, waiting a moment for another save to
// finish. Every save of a file takes it, in place or by renaming a new file over it, so that two
// programs never write one file at once. A file replaced while this one waited is the one locked
// then. Fills st with the locked file's status; returns the descriptor that holds the lock.
int lockForSave(const std::string &target, int flags, struct stat &st)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(iofault::lockWaitMilliseconds);
    for (;;) {
        FileDescriptor fd(openRegularFile(target.c_str(), flags, st));
        while (::flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
            if (errno == EINTR)
                continue;
            if (errno != EWOULDBLOCK)
                return fd.release(); // a file system without locks is saved as before
            if (std::chrono::steady_clock::now() >= deadline)
                throw EInOutError(kSaveInProgress, EWOULDBLOCK);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        struct stat named {};
        if (::stat(target.c_str(), &named) == 0 && sameFile(named, st)) {
            if (::fstat(fd.get(), &st) != 0) // its size as the save before left it
                throwIoError(errno);
            return fd.release();
        }
    }
}

// The save lock of a file that a new one replaces: it is opened only to hold the lock, for reading
// or, if the user may only write it, for writing. -1 when the file is gone meanwhile.
int lockForReplace(const std::string &target, struct stat &st)
{
    try {
        try {
            return lockForSave(target, O_RDONLY, st);
        } catch (const EInOutError &e) {
            if (e.errorCode() != EACCES)
                throw;
            return lockForSave(target, O_WRONLY, st);
        }
    } catch (const EInOutError &e) {
        if (e.errorCode() != ENOENT)
            throw;
        return -1;
    }
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
    FileDescriptor fd(lockForSave(target, O_RDWR, st));
    iofault::step("in place: locked");

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
    iofault::step("in place: kept");
    try {
        // Flushed before it is cut: until then, putting the previous bytes back needs no new room.
        writeAllAt(fd.get(), data, size);
        syncFile(fd.get());
        iofault::step("in place: written");
        if (size < previous.size()) {
            if (::ftruncate(fd.get(), static_cast<off_t>(size)) != 0)
                throwIoError(errno);
            syncFile(fd.get());
        }
        iofault::step("in place: cut");
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

} // namespace

// A save holds the lock on its temporary file from the moment it is made until it closes it, and the
// system drops the lock of a program that ends in any way: a temporary file that no program holds is
// one that a killed save left, however new it is.
void removeDeadSaveTemporaries(const std::string &dir)
{
    DIR *d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d)
        return;
    while (dirent *entry = ::readdir(d)) {
        if (!isTemporaryName(entry->d_name))
            continue;
        int raw = ::openat(::dirfd(d), entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
        if (raw < 0)
            continue;
        FileDescriptor fd(raw);
        struct stat st {};
        if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid())
            continue;
        if (::flock(fd.get(), LOCK_EX | LOCK_NB) == 0)
            ::unlinkat(::dirfd(d), entry->d_name, 0);
    }
    ::closedir(d);
}

void setPreviousBytesKeeper(PreviousBytesKeeper *keeper) { installedKeeper = keeper; }

PreviousBytesKeeper *previousBytesKeeper() { return installedKeeper; }

void writeFileSafely(const std::string &path, const void *data, size_t size)
{
    if (path.empty())
        throwIoError(ENOENT);

    // Saving through a symbolic link replaces the file it points to, not the link.
    std::string target = path;
    struct stat st {};
    bool exists = ::stat(path.c_str(), &st) == 0;
    // A device, a named pipe, a socket or a directory is never replaced by a file of data.
    if (exists && !S_ISREG(st.st_mode))
        throwNotRegular(st.st_mode);
    if (path.back() == '/')
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
    int raw = -1;
    for (;;) {
        tmpl = dir + "/" + kSaveTemporaryPrefix + "XXXXXX";
        raw = ::mkostemp(tmpl.data(), O_CLOEXEC);
        if (raw < 0) {
            int err = errno == EEXIST ? EACCES : errno;
            // A directory the user cannot write may still hold a file the user may write.
            if (exists && (err == EACCES || err == EPERM)) {
                writeInPlace(target, static_cast<const uint8_t *>(data), size);
                return;
            }
            throwIoError(err);
        }
        // Held until the file is closed: temporary files are removed as left by a killed save only
        // when no program holds them. One removed in the moment before this lock was taken is gone
        // from the directory, and another is made.
        struct stat made {};
        if (::flock(raw, LOCK_EX) == 0 && ::fstat(raw, &made) == 0 && made.st_nlink == 0) {
            ::close(raw);
            continue;
        }
        break;
    }
    FileDescriptor fd(raw);
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

    // The file replaced stays locked until the new one has taken its name.
    FileDescriptor targetLock(exists ? lockForReplace(target, st) : -1);
    iofault::step("locked");

    // The new file gets the permissions of the one it replaces, or those of any new file.
    ::fchmod(fd.get(), exists ? (st.st_mode & 07777) : newFileMode());
    writeAll(fd.get(), static_cast<const uint8_t *>(data), size);
    if (int e = iofault::check(Op::Sync))
        throwIoError(e);
    if (::fsync(fd.get()) != 0 && errno != EINVAL && errno != EROFS)
        throwIoError(errno);
    fd.close();
    iofault::step("written");
    if (int e = iofault::check(Op::Rename))
        throwIoError(e);
    if (::rename(tmpl.c_str(), target.c_str()) != 0)
        throwIoError(errno);
    done = true;
    iofault::step("renamed");

    // Make the rename itself durable; a failure here cannot undo the save any more.
    int dirfd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirfd >= 0) {
        ::fsync(dirfd);
        ::close(dirfd);
    }
    removeDeadSaveTemporaries(dir);
}

} // namespace qm
