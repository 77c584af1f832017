#include "output/FileIo.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <string>

#include "readme/Cp1251.h"

namespace fileio {
namespace {

ReadFunction& ReadOverride() {
    static ReadFunction read;
    return read;
}

bool IsAbsolute(std::string_view path) {
#ifdef _WIN32
    return (!path.empty() && path[0] == kPathSeparator) || (path.size() >= 2 && path[1] == ':');
#else
    return !path.empty() && path[0] == kPathSeparator;
#endif
}

void CloseQuietly(int& fd) {
    if (fd >= 0) ::close(fd);
    fd = -1;
}

// A short name beside the target: the target's own name could be too long to
// take a suffix.
Text TemporaryBeside(const Text& target) {
    static std::atomic<unsigned> counter{0};
    const std::size_t slash = target.rfind('/');
    Text path = slash == Text::npos ? Text() : target.substr(0, slash + 1);
    path += ".quillsmith-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + ".tmp";
    return path;
}

}  // namespace

Text ResolveAgainst(std::string_view folder, std::string_view path) {
    if (path.empty() || IsAbsolute(path)) return Text(path);
    Text resolved(folder);
    resolved += kPathSeparator;
    resolved += path;
    return resolved;
}

InputFile::~InputFile() { CloseQuietly(m_fd); }

bool InputFile::Open(std::string_view path) {
    CloseQuietly(m_fd);
    m_length = 0;
    const Text name = cp1251::ToUtf8(path);
    if (name.empty()) return false;
    m_fd = ::open(name.c_str(), O_RDONLY | O_CLOEXEC);
    if (m_fd < 0) return false;
    struct stat info {};
    if (::fstat(m_fd, &info) != 0 || S_ISDIR(info.st_mode)) {
        CloseQuietly(m_fd);
        return false;
    }
    m_length = info.st_size > 0 ? static_cast<std::uint64_t>(info.st_size) : 0;
    return true;
}

std::ptrdiff_t InputFile::Read(char* data, std::size_t size) {
    if (m_fd < 0) return -1;
    for (;;) {
        const std::ptrdiff_t got =
            ReadOverride() ? ReadOverride()(m_fd, data, size) : ::read(m_fd, data, size);
        if (got >= 0 || errno != EINTR) return got < 0 ? -1 : got;
    }
}

ReplacingFile::~ReplacingFile() { Discard(); }

void ReplacingFile::Discard() {
    if (m_fd < 0) return;
    CloseQuietly(m_fd);
    ::unlink(m_temporary.c_str());
}

bool ReplacingFile::Create(std::string_view path) {
    Discard();
    m_target = cp1251::ToUtf8(path);
    if (m_target.empty()) return false;

    struct stat existing {};
    const bool exists = ::stat(m_target.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) return false;

    m_written = m_reserved = 0;
    for (int attempt = 0; attempt < 100 && m_fd < 0; ++attempt) {
        m_temporary = TemporaryBeside(m_target);
        m_fd = ::open(m_temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd < 0 && errno != EEXIST) return false;
    }
    if (m_fd < 0) return false;
    // A replaced file keeps its permissions.
    if (exists && S_ISREG(existing.st_mode)) ::fchmod(m_fd, existing.st_mode & 07777);
    return true;
}

void ReplacingFile::Reserve(std::uint64_t size) {
    if (m_fd < 0 || size == 0) return;
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
            Discard();
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
    if (m_written < m_reserved && ::ftruncate(m_fd, static_cast<off_t>(m_written)) != 0) {
        Discard();
        return false;
    }
    // close reports write-back errors that some file systems (NFS) defer.
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 || ::rename(m_temporary.c_str(), m_target.c_str()) != 0) {
        ::unlink(m_temporary.c_str());
        return false;
    }
    return true;
}

bool WriteWholeFile(std::string_view path, std::string_view bytes) {
    ReplacingFile file;
    return file.Create(path) && file.Write(bytes) && file.Commit();
}

void SetReadFunctionForTesting(ReadFunction read) { ReadOverride() = std::move(read); }

}  // namespace fileio
