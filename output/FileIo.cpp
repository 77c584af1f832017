#include "output/FileIo.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

namespace fileio {
namespace {

ReadFunction& ReadOverride() {
    static ReadFunction read;
    return read;
}

// A zero byte would end the name early and name another file.
bool IsUsable(std::string_view path) { return !path.empty() && path.find('\0') == std::string_view::npos; }

void CloseQuietly(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

// Opened without waiting: a pipe without a partner or a device must never
// hang the window. Blocking is restored once the file is known.
int OpenNonBlocking(const FilePath& path, int flags, mode_t mode = 0) {
    return ::open(path.c_str(), flags | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, mode);
}

void RestoreBlocking(int fd) {
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK);
}

// A short name beside the target: the target's own name could be too long to
// take a suffix.
FilePath TemporaryBeside(const FilePath& target) {
    static std::atomic<unsigned> counter{0};
    const std::size_t slash = target.rfind('/');
    FilePath path = slash == FilePath::npos ? FilePath() : target.substr(0, slash + 1);
    path += ".quillsmith-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp";
    return path;
}

// The file a symlink leads to, so that it is the one replaced and the link
// stays. Empty for a dangling or looping link.
FilePath ResolveLink(const FilePath& link) {
    const std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(link.c_str(), nullptr), &std::free);
    return resolved ? FilePath(resolved.get()) : FilePath();
}

}  // namespace

// The POSIX rules; Windows has its own in FileIoWin32.cpp.
bool IsAbsolute(std::string_view path) { return !path.empty() && path[0] == kPathSeparator; }

InputFile::~InputFile() { CloseQuietly(m_fd); }

bool InputFile::Open(std::string_view path) {
    CloseQuietly(m_fd);
    m_length = 0;
    if (!IsUsable(path)) return false;
    m_fd = OpenNonBlocking(FilePath(path), O_RDONLY);
    if (m_fd < 0) return false;
    struct stat info {};
    if (::fstat(m_fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        CloseQuietly(m_fd);
        return false;
    }
    RestoreBlocking(m_fd);
    m_length = info.st_size > 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
    return true;
}

std::ptrdiff_t InputFile::Read(char* data, std::size_t size) {
    if (m_fd < 0) return -1;
    for (;;) {
        const std::ptrdiff_t got = ReadOverride() ? ReadOverride()(m_fd, data, size) : ::read(m_fd, data, size);
        if (got >= 0 || errno != EINTR) return got < 0 ? -1 : got;
    }
}

ReplacingFile::~ReplacingFile() { Discard(); }

void ReplacingFile::Discard() {
    if (m_fd < 0) return;
    CloseQuietly(m_fd);
    if (!inPlace())
        ::unlink(m_temporary.c_str());
    else if (m_created)
        ::unlink(m_target.c_str());
}

bool ReplacingFile::OpenInPlace(int fd, bool created) {
    m_temporary.clear();
    m_fd = fd;
    m_created = created;
    struct stat info {};
    m_plainFile = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    RestoreBlocking(fd);
    return true;
}

bool ReplacingFile::Create(std::string_view path) {
    Discard();
    m_written = m_reserved = 0;
    m_plainFile = true;
    m_created = false;
    if (!IsUsable(path)) return false;
    m_target = FilePath(path);

    struct stat existing {};
    if (::lstat(m_target.c_str(), &existing) == 0 && S_ISLNK(existing.st_mode)) {
        const FilePath resolved = ResolveLink(m_target);
        // A dangling link: opening it creates the file it names.
        if (resolved.empty()) {
            const int fd = OpenNonBlocking(m_target, O_WRONLY | O_CREAT, 0666);
            return fd >= 0 && OpenInPlace(fd, false);
        }
        m_target = resolved;
    }

    const bool exists = ::stat(m_target.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) {
        errno = EISDIR;
        return false;
    }

    // Opening for writing, without truncating, asks the system itself
    // whether this user may write the file (modes, ACLs, read-only mounts).
    int probe = -1;
    if (exists) {
        probe = OpenNonBlocking(m_target, O_WRONLY);
        if (probe < 0) return false;
        if (!S_ISREG(existing.st_mode) || existing.st_nlink > 1 || existing.st_uid != ::geteuid())
            return OpenInPlace(probe, false);
    }

    for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
        m_temporary = TemporaryBeside(m_target);
        m_fd = ::open(m_temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd < 0 && errno != EEXIST) break;
    }
    if (m_fd < 0) {
        // The folder takes no new file: rewrite the existing one, or create
        // the target itself if the system allows that after all.
        m_temporary.clear();
        if (probe >= 0) return OpenInPlace(probe, false);
        const int fd = OpenNonBlocking(m_target, O_WRONLY | O_CREAT | O_EXCL, 0666);
        return fd >= 0 && OpenInPlace(fd, true);
    }
    CloseQuietly(probe);
    // A replaced file keeps its permissions.
    if (exists) ::fchmod(m_fd, existing.st_mode & 07777);
    return true;
}

void ReplacingFile::Reserve(std::uint64_t size) {
    if (m_fd < 0 || size == 0 || !m_plainFile) return;
    // Only a hint: where it cannot be had, the writes still decide.
    if (::fallocate(m_fd, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(size)) == 0) m_reserved = size;
}

bool ReplacingFile::Write(std::string_view bytes) {
    if (m_fd < 0) return false;
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t wrote = ::write(m_fd, p, left);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) {
            const int reason = wrote == 0 ? ENOSPC : errno;
            Discard();
            errno = reason;
            return false;
        }
        p += wrote;
        left -= static_cast<std::size_t>(wrote);
        m_written += static_cast<std::uint64_t>(wrote);
    }
    return true;
}

bool ReplacingFile::Commit() {
    if (m_fd < 0) return false;
    // In place the old content may run past the new; a replacement may
    // hold room that was reserved and not used.
    const bool cut = inPlace() ? m_plainFile : m_written < m_reserved;
    if (cut && ::ftruncate(m_fd, static_cast<off_t>(m_written)) != 0) {
        const int reason = errno;
        Discard();
        errno = reason;
        return false;
    }
    // close reports write-back errors that some file systems (NFS) defer.
    const int fd = m_fd;
    m_fd = -1;
    if (inPlace()) return ::close(fd) == 0;
    if (::close(fd) != 0 || ::rename(m_temporary.c_str(), m_target.c_str()) != 0) {
        const int reason = errno;
        ::unlink(m_temporary.c_str());
        errno = reason;
        return false;
    }
    return true;
}

bool MakeFolder(std::string_view path, unsigned mode) {
    return IsUsable(path) && (::mkdir(FilePath(path).c_str(), static_cast<mode_t>(mode)) == 0 || errno == EEXIST);
}

bool MakeFolders(std::string_view path, unsigned mode) {
    for (std::size_t at = 1; at <= path.size(); ++at) {
        if (at != path.size() && path[at] != '/') continue;
        if (!MakeFolder(path.substr(0, at), mode)) return false;
    }
    return true;
}

bool IsMissing(std::string_view path) {
    struct stat info {};
    return IsUsable(path) && ::stat(FilePath(path).c_str(), &info) != 0 && errno == ENOENT;
}

bool RenameFile(std::string_view from, std::string_view to) {
    return IsUsable(from) && IsUsable(to) && std::rename(FilePath(from).c_str(), FilePath(to).c_str()) == 0;
}

FilePath CurrentFolder() {
    std::string folder(256, '\0');
    while (::getcwd(folder.data(), folder.size()) == nullptr) {
        if (errno != ERANGE) return {};
        folder.resize(folder.size() * 2);
    }
    folder.resize(folder.find('\0'));
    return folder;
}

void SetReadFunctionForTesting(ReadFunction read) { ReadOverride() = std::move(read); }

bool FileLock::TryLock(std::string_view path) {
    Unlock();
    if (!IsUsable(path)) return false;
    const FilePath name(path);
    // Read access is enough for flock, so a lock file left in a folder that
    // became read-only still tells whether its window runs.
    const int fd = ::open(name.c_str(), O_RDONLY | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0) return false;
    // flock belongs to this open file: a second open, even in this process, waits its turn.
    // A file removed between the open and the lock is no longer the lock.
    struct stat held {
    }, named{};
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0 || ::fstat(fd, &held) != 0 || ::stat(name.c_str(), &named) != 0 ||
        held.st_ino != named.st_ino || held.st_dev != named.st_dev) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
    return true;
}

void FileLock::Unlock() {
    if (m_fd == kNoFile) return;
    ::close(m_fd);
    m_fd = kNoFile;
}

void FileLock::UnlockAndRemove(std::string_view path) {
    if (m_fd != kNoFile && IsUsable(path)) ::unlink(FilePath(path).c_str());
    Unlock();
}

bool RemoveFile(std::string_view path) {
    return IsUsable(path) && (::unlink(FilePath(path).c_str()) == 0 || errno == ENOENT);
}

bool RemoveTree(std::string_view path) {
    if (!IsUsable(path)) return false;
    const FilePath name(path);
    struct stat info {};
    if (::lstat(name.c_str(), &info) != 0) return errno == ENOENT;
    if (!S_ISDIR(info.st_mode)) return ::unlink(name.c_str()) == 0;
    for (const std::string& entry : NamesIn(path)) {
        FilePath inside = name;
        inside += '/';
        inside += entry;
        RemoveTree(inside);
    }
    return ::rmdir(name.c_str()) == 0;
}

std::vector<std::string> NamesIn(std::string_view folder) {
    std::vector<std::string> names;
    if (!IsUsable(folder)) return names;
    DIR* dir = ::opendir(FilePath(folder).c_str());
    if (!dir) return names;
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view entryName = entry->d_name;
        if (entryName != "." && entryName != "..") names.emplace_back(entryName);
    }
    ::closedir(dir);
    return names;
}

namespace {

CommonFault FaultOf(int reason) {
    switch (reason) {
        case EACCES:
        case EPERM:
            return CommonFault::Denied;
        case ENOENT:
            return CommonFault::Missing;
        case ENOTDIR:
            return CommonFault::NotAFolder;
        case ENOSPC:
        case EDQUOT:
            return CommonFault::DiskFull;
        case EROFS:
            return CommonFault::ReadOnlyDisk;
        case EISDIR:
            return CommonFault::IsFolder;
        case ENAMETOOLONG:
            return CommonFault::NameTooLong;
        case EFBIG:
            return CommonFault::TooLarge;
        default:
            return CommonFault::Other;
    }
}

}  // namespace

std::string SystemReason() {
    const int reason = errno;
    if (reason == 0) return {};
    const std::string_view words = CommonFaultWords(FaultOf(reason));
    return words.empty() ? std::string(std::strerror(reason)) : std::string(words);
}

}  // namespace fileio
