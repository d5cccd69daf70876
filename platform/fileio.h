#pragma once
// File reads and safe whole-file writes with the system's texts for every failure.
//
// Files are never left open between operations: a reader takes the whole file into memory and parses
// it there, or reads the parts it needs at their positions through a ReadableFile that it closes
// before it returns; a writer builds the whole new content in memory and hands it to
// writeFileSafely, which never destroys the file it replaces (temporary file in the same directory,
// flushed, then renamed).

#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <optional>
#include <utility>
#include <string>
#include <vector>

struct stat;

namespace qm {

using Bytes = std::vector<uint8_t>;

// Storage of a read buffer of at least kLargeReadBuffer bytes: whole 2 MB pages where the system
// offers them. A fresh buffer of a large file otherwise costs one page fault for every 4 KB it
// receives, which takes several times as long as reading the file.
inline constexpr size_t kLargeReadBuffer = size_t(2) << 20;
void *allocateLargeReadBuffer(size_t bytes);
void freeLargeReadBuffer(void *buffer) noexcept;

// Bytes whose storage is not zeroed when it grows: for buffers that are filled at once by a read.
template <class T> struct UninitializedAllocator : std::allocator<T> {
    template <class U> struct rebind {
        using other = UninitializedAllocator<U>;
    };
    // Every buffer starts on a cache line: the kernel copies a read several times more slowly to an
    // address that is not a multiple of 64, as a large allocation of malloc's is.
    static constexpr std::align_val_t kAlignment{64};
    T *allocate(size_t n)
    {
        if (n * sizeof(T) < kLargeReadBuffer)
            return static_cast<T *>(::operator new(n * sizeof(T), kAlignment));
        return static_cast<T *>(allocateLargeReadBuffer(n * sizeof(T)));
    }
    void deallocate(T *p, size_t n) noexcept
    {
        if (n * sizeof(T) < kLargeReadBuffer)
            ::operator delete(p, kAlignment);
        else
            freeLargeReadBuffer(p);
    }
    template <class U> void construct(U *p) noexcept { ::new (static_cast<void *>(p)) U; }
    template <class U, class... Args> void construct(U *p, Args &&...args)
    {
        ::new (static_cast<void *>(p)) U(std::forward<Args>(args)...);
    }
};
using RawBytes = std::vector<uint8_t, UninitializedAllocator<uint8_t>>;

// The system's text for an errno value: "File not found", "Invalid filename", "Too many open files",
// "File access denied", "Disk full", or "I/O error %d".
std::string systemErrorText(int err);
[[noreturn]] void throwIoError(int err);

// The text of a read that ends before the data it needs.
inline constexpr const char *kReadBeyondEnd = "Read beyond end of file";
[[noreturn]] void throwReadBeyondEnd();

// The text of a file that is not a regular file (a named pipe, a device, a socket): it is never read,
// since it may never end or never answer.
inline constexpr const char *kNotRegularFile = "Not a regular file";
[[noreturn]] void throwNotRegular(unsigned mode);

// What tells an opened file from another, or from itself changed: a file opened again is the one that
// was read before, unchanged as far as the system can tell, when all of these agree.
struct FileIdentity {
    uint64_t device = 0, inode = 0, size = 0;
    int64_t modifiedSeconds = 0, modifiedNanoseconds = 0;
    bool operator==(const FileIdentity &) const = default;
};

// The identity of the file at path now; none when the system cannot say (the file is gone, say).
std::optional<FileIdentity> fileIdentity(const std::string &path);

// A descriptor closed once, whatever happens.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : mFd(fd) {}
    FileDescriptor(const FileDescriptor &) = delete;
    FileDescriptor &operator=(const FileDescriptor &) = delete;
    ~FileDescriptor();
    int get() const { return mFd; }
    // Hands the descriptor over: this object no longer closes it.
    int release() { return std::exchange(mFd, -1); }
    // Closes and reports a failure (a failed close can be the first sign of a lost write).
    void close();

private:
    int mFd;
};

// A file opened for reading, whole or at chosen positions. Every call is checked and fails with the
// system's text; a read that ends before the bytes it must fill fails with "Read beyond end of file".
class ReadableFile {
public:
    // Opens path without waiting for it. A directory is refused ("File access denied"), anything else
    // that is not a regular file ("Not a regular file ...") and a file larger than maxSize with a clear
    // message, all before a byte is read.
    ReadableFile(const std::string &path, size_t maxSize);

    // Always true: only regular files are opened.
    bool regular() const { return mRegular; }
    uint64_t size() const { return mIdentity.size; }
    const FileIdentity &identity() const { return mIdentity; }

    // The next bytes in order, at most room of them; 0 at the end of the file.
    size_t readSome(void *into, size_t room);
    // Exactly n bytes from position pos.
    void readAt(uint64_t pos, void *into, size_t n);
    // Closes the file and reports a failure.
    void close();

private:
    // st: scratch for the file's status while the descriptor is opened.
    ReadableFile(const std::string &path, size_t maxSize, struct stat st);

    FileDescriptor mFd;
    bool mRegular = false;
    FileIdentity mIdentity;
};

// Reads a whole regular file. Files larger than maxSize are refused with a clear message.
Bytes readWholeFile(const std::string &path, size_t maxSize);
// The same into a buffer that is not zeroed first (large files read faster).
RawBytes readWholeFileRaw(const std::string &path, size_t maxSize);
// The rest of an opened file, then closed, as readWholeFileRaw reads it.
RawBytes readWholeFileRaw(ReadableFile &file, size_t maxSize);

// A regular file read into pages of its own as a reader that goes once from its start asks for it, the
// pages it has passed handed back: a large file's bytes and what is made of them are then not all held
// at once. A file larger than maxSize is refused as readWholeFile refuses it. The size is the file's
// when it was opened; a file that ends sooner while it is read fails with "Read beyond end of file".
class ForwardFileBytes {
public:
    ForwardFileBytes(const std::string &path, size_t maxSize);
    ForwardFileBytes(const ForwardFileBytes &) = delete;
    ForwardFileBytes &operator=(const ForwardFileBytes &) = delete;
    ~ForwardFileBytes();

    const uint8_t *data() const { return mData; }
    size_t size() const { return mSize; }
    // Makes the bytes before end (at most the size) readable in data().
    void need(size_t end);
    // Hands back the whole pages before offset: what was there reads as zero from then on, so the
    // reader never goes back to it.
    void releaseBefore(size_t offset);

private:
    ReadableFile mFile;
    uint8_t *mData = nullptr;
    size_t mSize = 0, mRead = 0, mReleased = 0;
};

// Reads the first count bytes of a file; a shorter file fails with "Read beyond end of file".
Bytes readFileStart(const std::string &path, size_t count);

// Replaces (or creates) path with exactly these bytes. On any failure the previous file is untouched,
// no temporary file is left behind, and an EInOutError with the system's text is thrown. A target
// that is not a regular file (a device, a named pipe, a socket, a directory) is refused before
// anything is written, and a file the user may not write is refused ("File access denied"). Where
// no temporary file can be made beside it (a directory the user cannot write), a file the user may
// write is overwritten in place: room for the whole new content is reserved first (a full disk
// refuses before a byte changes), the previous bytes are kept aside (see PreviousBytesKeeper) and put
// back should any later step fail.
// Every save holds an exclusive lock on the file it replaces, in place or not, so that two saves of
// one file (two programs, or two threads) never mix their bytes; a save that does not get it within
// a moment fails with kSaveInProgress and changes nothing.
// Temporary files of this program's saves left in the same directory by a save that was killed are
// removed after a save succeeds (removeDeadSaveTemporaries).
void writeFileSafely(const std::string &path, const void *data, size_t size);
inline void writeFileSafely(const std::string &path, const Bytes &bytes)
{
    writeFileSafely(path, bytes.data(), bytes.size());
}

// Where a save in place keeps the previous bytes of a file until the new ones are written and flushed,
// so that a program killed in the middle of it leaves them to be recovered.
class PreviousBytesKeeper {
public:
    virtual ~PreviousBytesKeeper() = default;
    // Stores the bytes that target holds now, durably, before any of them changes; returns what
    // drop needs to find them. A failure throws: the save is then refused and the file not touched.
    virtual std::string keep(const std::string &target, const uint8_t *data, size_t size) = 0;
    // The save is complete, or undone: the kept bytes are no longer needed.
    virtual void drop(const std::string &kept) noexcept = 0;
};
// Installs the keeper of every save in place from now on (nullptr: the previous bytes are only held
// in memory, to be put back on a failure the program survives). The caller keeps it alive.
void setPreviousBytesKeeper(PreviousBytesKeeper *keeper);
PreviousBytesKeeper *previousBytesKeeper();

// The text of a save that finds the file held by another save for longer than it waits.
inline constexpr const char *kSaveInProgress =
    "The file is being saved by another program; it was left as it was. Try again in a moment";

// Removes the temporary files that saves of this user killed in the middle left in dir: files of
// this program's temporary names that no program holds, whatever their age. The editor and qmtool
// call it for the directories they start to work in, and every save for its own.
void removeDeadSaveTemporaries(const std::string &dir);

// The start of the name of this program's temporary save files; six letters or digits follow.
inline constexpr const char *kSaveTemporaryPrefix = ".qmsave-";

// Test hook: makes a chosen file operation fail as the system would, so that tests can check that
// every failure is reported and loses nothing.
namespace iofault {
enum class Op { Open, Read, Write, Sync, Rename, Close, Reserve };
// The nth (1-based) operation of this kind from now on fails with errno err.
void inject(Op op, int nth, int err);
void reset();
// Called by each file operation: the errno to fail with, or 0.
int check(Op op);
// Called between the steps of a save, so that a test can stop or kill the program there: "locked",
// "written", "renamed" when a new file replaces the old; "in place: locked", "in place: kept",
// "in place: written", "in place: cut" when the file is overwritten.
using StepHook = void (*)(const char *step);
void setStepHook(StepHook hook);
void step(const char *name);
// How long a save waits for another save of the same file (3 seconds unless a test says otherwise).
void setSaveLockWait(int milliseconds);
} // namespace iofault

} // namespace qm
