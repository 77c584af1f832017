#pragma once
// Files as Save needs them. Paths are FilePaths, given to the system as they
// are.
//
// An output is written to a temporary file beside its target and renamed
// over it once complete, so a failed save leaves the previous file intact
// and never a truncated one. Where a rename would break the file system's
// rules, the target is written in place instead, as opening it would: a
// file this user may not write is refused, a symlink is written through, a
// file with other hard links or another owner keeps its identity, and a
// folder that takes no new file still lets an existing one be rewritten.
// No open ever blocks, and every file is closed on every road.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "text/Text.h"

namespace fileio {

// The system's handle of an open file.
#ifdef _WIN32
using NativeFile = void*;  // a HANDLE, without windows.h in the core's headers
inline constexpr NativeFile kNoFile = nullptr;
#else
using NativeFile = int;
inline constexpr NativeFile kNoFile = -1;
#endif

// True when path starts at a root by the system's rule ("/" on Linux; on
// Windows "\", "/", a share or a drive).
bool IsAbsolute(std::string_view path);
// A path that does not start at the root is taken relative to folder, the
// way the save dialog's current directory made it on the desktop.
FilePath ResolveAgainst(std::string_view folder, std::string_view path);

class InputFile {
public:
    InputFile() = default;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    ~InputFile();

    // False for a missing or unreadable file and for anything but a plain
    // file: a folder, and a pipe, device or socket, whose open or read could
    // wait forever.
    bool Open(std::string_view path);
    // The length taken when the file was opened.
    std::uint64_t length() const { return m_length; }
    // Up to size bytes; 0 at the end of the file, -1 on an error.
    std::ptrdiff_t Read(char* data, std::size_t size);
    // size bytes, fewer only where the file ends first; -1 on an error.
    std::ptrdiff_t ReadUpTo(char* data, std::size_t size);

private:
    NativeFile m_fd = kNoFile;
    std::uint64_t m_length = 0;
};

class ReplacingFile {
public:
    ReplacingFile() = default;
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;
    // Discards the temporary file unless Commit succeeded.
    ~ReplacingFile();

    // False when the target cannot be written: its folder is missing, a
    // directory stands in its place, or this user may not write it. The
    // target is not touched until Commit.
    bool Create(std::string_view path);
    // Sets aside room for size bytes, which makes the file system's work
    // per write lighter; a file that ends up shorter gives the rest back.
    void Reserve(std::uint64_t size);
    // Writes every byte, however many calls the system needs.
    bool Write(std::string_view bytes);
    // Puts the file in the target's place. Like cp, it does not wait for the
    // disk (fsync): that wait would cost more than the whole copy here.
    bool Commit();

    // True when the target is written in place rather than replaced.
    bool inPlace() const { return m_temporary.empty(); }

private:
    bool OpenInPlace(NativeFile fd, bool created);
    void Discard();

    NativeFile m_fd = kNoFile;
    std::uint64_t m_written = 0;
    std::uint64_t m_reserved = 0;
    bool m_plainFile = true;  // in place: a pipe or device cannot be cut to length
    bool m_created = false;   // in place: the file did not exist before
    FilePath m_target;
    FilePath m_temporary;  // empty when written in place
};

// A lock on a file that the system drops when the process ends, however it
// ends: a window's claim on its draft. Two locks on one file exclude each
// other, in one process as in two.
class FileLock {
public:
    FileLock() = default;
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;
    FileLock(FileLock&& other) noexcept;
    FileLock& operator=(FileLock&& other) noexcept;
    ~FileLock() { Unlock(); }

    // Creates the file when it is missing; false, holding nothing, when
    // another lock holds it or it cannot be opened.
    bool TryLock(std::string_view path);
    void Unlock();
    // Removes the lock's file, then lets go: a lock taken on the removed file
    // meanwhile is seen as stale by its taker.
    void UnlockAndRemove(std::string_view path);
    bool held() const { return m_fd != kNoFile; }

private:
    NativeFile m_fd = kNoFile;
};

// Create, Write and Commit in one.
bool WriteWholeFile(std::string_view path, std::string_view bytes);

// A whole file read, or why not: every whole-file read of the program.
struct WholeFile {
    enum class Fault { None, Missing, Unreadable, TooLarge };
    std::string bytes;
    Fault fault = Fault::None;
    bool ok() const { return fault == Fault::None; }
};
// A file longer than limit bytes is not read at all.
WholeFile ReadWholeFile(std::string_view path, std::uint64_t limit);

// True when the folder exists afterwards, made now or before. mode is the
// POSIX permission bits (before the umask); Windows has none to give.
bool MakeFolder(std::string_view path, unsigned mode = 0777);
// MakeFolder for the folder and each missing folder above it, never for the
// root (a drive, a server's share).
bool MakeFolders(std::string_view path, unsigned mode = 0777);
// True only when nothing at all is at path; a file that cannot be read is
// not missing.
bool IsMissing(std::string_view path);
// Renames a file, replacing what is at to.
bool RenameFile(std::string_view from, std::string_view to);
// True when no file is at path afterwards.
bool RemoveFile(std::string_view path);
// A folder and everything in it; true when nothing is left at path. Links
// are removed, never followed.
bool RemoveTree(std::string_view path);
// The names in a folder, without "." and ".."; none for a missing or
// unreadable folder.
std::vector<std::string> NamesIn(std::string_view folder);
// Why this thread's last file call failed, in UTF-8: in Russian for the
// faults a user meets most, else in the system's own words; empty when it
// gave none. Read it right after the failure.
std::string SystemReason();

// The faults SystemReason says in Russian, whatever the system's language.
enum class CommonFault { Other, Denied, Missing, NotAFolder, DiskFull, ReadOnlyDisk, IsFolder, NameTooLong, TooLarge };
// Empty for Other.
std::string_view CommonFaultWords(CommonFault fault);
// The process's current folder, UTF-8; empty when the system cannot say.
FilePath CurrentFolder();

// Replaces the system's read for InputFile::Read until reset with nullptr, so
// tests can fail or shorten a read that the file system would not.
using ReadFunction = std::function<std::ptrdiff_t(NativeFile fd, char* data, std::size_t size)>;
void SetReadFunctionForTesting(ReadFunction read);

}  // namespace fileio
