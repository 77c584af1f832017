// The rules of FileIo.h on Windows. Names cross to the system in UTF-16
// (the W functions), so no ANSI code page stands between a user's file name
// and its file, and in their extended form (LongPathWin32.h), so no MAX_PATH
// stands between a deep folder and its files.

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>

#include "output/FileIo.h"
#include "output/LongPathWin32.h"
#include "text/Utf16.h"

namespace fileio {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
// ReadFile and WriteFile take a DWORD count.
constexpr std::size_t kLargestCall = std::size_t{1} << 30;

ReadFunction& ReadOverride() {
    static ReadFunction read;
    return read;
}

bool IsUsable(std::string_view path) { return !path.empty() && path.find('\0') == std::string_view::npos; }

// Every path crosses to the system through here.
std::wstring Name(std::string_view utf8) {
    const std::u16string text = utf16::FromUtf8(utf8);
    return SystemName(std::wstring(text.begin(), text.end()));
}

// The answer of a call that, given too small a buffer, says how large a
// buffer it needs; empty when it fails.
template <typename Call>
std::wstring Answer(Call call) {
    std::wstring text(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 3; ++attempt) {
        const DWORD length = call(text.data(), static_cast<DWORD>(text.size()));
        if (length == 0) return {};
        if (length < text.size()) {
            text.resize(length);
            return text;
        }
        text.resize(length);
    }
    return {};
}

bool IsFolder(const std::wstring& name) {
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// 0 when the folder is there afterwards, else the system's reason.
DWORD MakeOneFolder(const std::wstring& name) {
    if (::CreateDirectoryW(name.c_str(), nullptr)) return 0;
    const DWORD error = ::GetLastError();
    return IsFolder(name) ? 0 : error;
}

NativeFile OpenFile(const std::wstring& path, DWORD access, DWORD disposition) {
    const HANDLE file =
        ::CreateFileW(path.c_str(), access, kShareAll, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    return file == INVALID_HANDLE_VALUE ? kNoFile : file;
}

void CloseQuietly(NativeFile& file) {
    if (file != kNoFile) ::CloseHandle(file);
    file = kNoFile;
}

// A file on a disk; not a console, a printer port, NUL or a pipe, whose
// reads could wait forever or never end.
bool IsDiskFile(NativeFile file) { return ::GetFileType(file) == FILE_TYPE_DISK; }

// A short name beside the target, in the same folder: the rename that
// replaces the target stays on one volume.
FilePath TemporaryBeside(const FilePath& target) {
    static std::atomic<unsigned> counter{0};
    const std::size_t end = target.find_last_of("\\/:");
    FilePath path = end == FilePath::npos ? FilePath() : target.substr(0, end + 1);
    path += ".quillsmith-" + std::to_string(::GetCurrentProcessId()) + "-" + std::to_string(counter++) + ".tmp";
    return path;
}

// The file a symbolic link leads to, so that it is the one replaced and the
// link stays; empty when the system cannot say. The system's answer is
// extended; the path kept is in the user's form.
FilePath FinalPath(NativeFile file) {
    std::wstring path = Answer([file](wchar_t* text, DWORD size) {
        return ::GetFinalPathNameByHandleW(file, text, size, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    });
    if (path.starts_with(LR"(\\?\UNC\)"))
        path.replace(0, 8, LR"(\\)");
    else if (path.starts_with(LR"(\\?\)"))
        path.erase(0, 4);
    return utf16::ToUtf8(std::u16string(path.begin(), path.end()));
}

}  // namespace

// "\dir", "/dir", "\\server\share" and "C:\dir" start at a root; so, as the
// desktop program always took it, does a drive-relative "C:dir".
bool IsAbsolute(std::string_view path) {
    return (!path.empty() && (path[0] == '\\' || path[0] == '/')) || (path.size() >= 2 && path[1] == ':');
}

std::wstring SystemName(std::wstring_view path) {
    if (path.starts_with(LR"(\\?\)") || path.starts_with(LR"(\\.\)")) return std::wstring(path);
    const std::wstring given(path);
    const std::wstring full =
        Answer([&given](wchar_t* text, DWORD size) { return ::GetFullPathNameW(given.c_str(), size, text, nullptr); });
    // A device ("NUL", "C:\dir\CON" become "\\.\NUL", "\\.\CON") is the
    // system's to map, as it always was.
    if (full.empty() || full.starts_with(LR"(\\?\)") || full.starts_with(LR"(\\.\)")) return given;
    if (full.starts_with(LR"(\\)")) return LR"(\\?\UNC\)" + full.substr(2);
    return LR"(\\?\)" + full;
}

std::size_t RootLength(std::wstring_view name) {
    // The prefix, then the names after it that belong to the root.
    std::size_t at = 0;
    int parts = 0;
    if (name.starts_with(LR"(\\?\UNC\)")) {
        at = 8;
        parts = 2;
    } else if (name.starts_with(LR"(\\?\)") || name.starts_with(LR"(\\.\)")) {
        at = 4;
        parts = 1;
    }
    for (; parts > 0 && at < name.size(); --parts) {
        const std::size_t end = name.find(L'\\', at);
        at = end == std::wstring_view::npos ? name.size() : end + 1;
    }
    return at;
}

InputFile::~InputFile() { CloseQuietly(m_fd); }

bool InputFile::Open(std::string_view path) {
    CloseQuietly(m_fd);
    m_length = 0;
    if (!IsUsable(path)) return false;
    m_fd = OpenFile(Name(path), GENERIC_READ, OPEN_EXISTING);
    if (m_fd == kNoFile) return false;
    BY_HANDLE_FILE_INFORMATION info{};
    LARGE_INTEGER size{};
    if (!IsDiskFile(m_fd) || !::GetFileInformationByHandle(m_fd, &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 || !::GetFileSizeEx(m_fd, &size)) {
        CloseQuietly(m_fd);
        return false;
    }
    m_length = size.QuadPart > 0 ? static_cast<std::uint64_t>(size.QuadPart) : 0;
    return true;
}

std::ptrdiff_t InputFile::Read(char* data, std::size_t size) {
    if (m_fd == kNoFile) return -1;
    if (ReadOverride()) return ReadOverride()(m_fd, data, size);
    DWORD got = 0;
    if (!::ReadFile(m_fd, data, static_cast<DWORD>(std::min(size, kLargestCall)), &got, nullptr)) return -1;
    return static_cast<std::ptrdiff_t>(got);
}

ReplacingFile::~ReplacingFile() { Discard(); }

void ReplacingFile::Discard() {
    if (m_fd == kNoFile) return;
    // The failure's reason, not the clean-up's, is what the caller asks for.
    const DWORD reason = ::GetLastError();
    CloseQuietly(m_fd);
    if (!inPlace())
        ::DeleteFileW(Name(m_temporary).c_str());
    else if (m_created)
        ::DeleteFileW(Name(m_target).c_str());
    ::SetLastError(reason);
}

bool ReplacingFile::OpenInPlace(NativeFile fd, bool created) {
    m_temporary.clear();
    m_fd = fd;
    m_created = created;
    m_plainFile = IsDiskFile(fd);
    return true;
}

bool ReplacingFile::Create(std::string_view path) {
    Discard();
    m_written = m_reserved = 0;
    m_plainFile = true;
    m_created = false;
    if (!IsUsable(path)) return false;
    m_target = FilePath(path);

    const DWORD attributes = ::GetFileAttributesW(Name(m_target).c_str());
    const bool exists = attributes != INVALID_FILE_ATTRIBUTES;
    if (exists && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
        ::SetLastError(ERROR_DIRECTORY);
        return false;
    }
    // Windows refuses to write a read-only file to anyone; Wine, run as
    // root, would not.
    if (exists && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
        ::SetLastError(ERROR_ACCESS_DENIED);
        return false;
    }

    // Opening for writing asks the system itself whether this user may
    // write the file: the read-only attribute, its ACL, another program
    // holding it without sharing.
    NativeFile probe = kNoFile;
    if (exists) {
        probe = OpenFile(Name(m_target), GENERIC_WRITE, OPEN_EXISTING);
        if (probe == kNoFile) return false;
        BY_HANDLE_FILE_INFORMATION info{};
        if (!IsDiskFile(probe) || !::GetFileInformationByHandle(probe, &info) || info.nNumberOfLinks > 1)
            return OpenInPlace(probe, false);
        if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0) {
            const FilePath resolved = FinalPath(probe);
            if (resolved.empty()) return OpenInPlace(probe, false);
            m_target = resolved;
        }
    }

    for (int attempt = 0; attempt < 100 && m_fd == kNoFile; ++attempt) {
        m_temporary = TemporaryBeside(m_target);
        m_fd = OpenFile(Name(m_temporary), GENERIC_WRITE, CREATE_NEW);
        if (m_fd == kNoFile && ::GetLastError() != ERROR_FILE_EXISTS) break;
    }
    if (m_fd == kNoFile) {
        // The folder takes no new file: rewrite the existing one, or create
        // the target itself if the system allows that after all.
        m_temporary.clear();
        if (probe != kNoFile) return OpenInPlace(probe, false);
        const NativeFile fd = OpenFile(Name(m_target), GENERIC_WRITE, CREATE_NEW);
        return fd != kNoFile && OpenInPlace(fd, true);
    }
    CloseQuietly(probe);
    return true;
}

// Only a hint, and NTFS sets no room aside without a file size: nothing here.
void ReplacingFile::Reserve(std::uint64_t) {}

bool ReplacingFile::Write(std::string_view bytes) {
    if (m_fd == kNoFile) return false;
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        DWORD wrote = 0;
        if (!::WriteFile(m_fd, p, static_cast<DWORD>(std::min(left, kLargestCall)), &wrote, nullptr) || wrote == 0) {
            Discard();
            return false;
        }
        p += wrote;
        left -= wrote;
        m_written += wrote;
    }
    return true;
}

bool ReplacingFile::Commit() {
    if (m_fd == kNoFile) return false;
    // In place the old content may run past the new.
    if (inPlace() && m_plainFile) {
        LARGE_INTEGER end{};
        end.QuadPart = static_cast<LONGLONG>(m_written);
        if (!::SetFilePointerEx(m_fd, end, nullptr, FILE_BEGIN) || !::SetEndOfFile(m_fd)) {
            Discard();
            return false;
        }
    }
    const NativeFile fd = m_fd;
    m_fd = kNoFile;
    if (inPlace()) return ::CloseHandle(fd) != 0;
    const std::wstring temporary = Name(m_temporary);
    const std::wstring target = Name(m_target);
    // ReplaceFileW keeps the replaced file's attributes, ACL and creation
    // time; a new target, or one a file system will not replace that way,
    // is moved onto instead.
    const DWORD attributes = ::GetFileAttributesW(target.c_str());
    const bool placed =
        ::CloseHandle(fd) != 0 &&
        ((attributes != INVALID_FILE_ATTRIBUTES && ::ReplaceFileW(target.c_str(), temporary.c_str(), nullptr,
                                                                  REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) ||
         ::MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH));
    if (!placed) {
        const DWORD reason = ::GetLastError();
        ::DeleteFileW(temporary.c_str());
        ::SetLastError(reason);
        return false;
    }
    // Hidden or system stays so even where the replace did not keep it (a
    // move does not; nor does Wine's ReplaceFileW).
    constexpr DWORD kKept = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_NOT_CONTENT_INDEXED;
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & kKept) != 0)
        ::SetFileAttributesW(target.c_str(), (::GetFileAttributesW(target.c_str()) & ~kKept) | (attributes & kKept));
    return true;
}

bool MakeFolder(std::string_view path, unsigned) { return IsUsable(path) && MakeOneFolder(Name(path)) == 0; }

bool MakeFolders(std::string_view path, unsigned) {
    if (!IsUsable(path)) return false;
    std::wstring name = Name(path);
    const std::size_t root = RootLength(name);
    while (name.size() > root && name.back() == L'\\') name.pop_back();
    // Up from the folder only while the system says the one above is missing:
    // the folders above an existing one are never touched (a share's upper
    // folders may refuse even a look), and the root is never made.
    std::size_t end = name.size();
    for (DWORD error; (error = MakeOneFolder(name.substr(0, end))) != 0;) {
        const std::size_t parent = name.rfind(L'\\', end - 1);
        if (error != ERROR_PATH_NOT_FOUND || parent == std::wstring::npos || parent < root) return false;
        end = parent;
    }
    while (end < name.size()) {
        end = std::min(name.find(L'\\', end + 1), name.size());
        if (MakeOneFolder(name.substr(0, end)) != 0) return false;
    }
    return true;
}

bool IsMissing(std::string_view path) {
    if (!IsUsable(path) || ::GetFileAttributesW(Name(path).c_str()) != INVALID_FILE_ATTRIBUTES) return false;
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

FilePath CurrentFolder() {
    std::wstring folder(::GetCurrentDirectoryW(0, nullptr), L'\0');
    folder.resize(::GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data()));
    return utf16::ToUtf8(std::u16string(folder.begin(), folder.end()));
}

bool RenameFile(std::string_view from, std::string_view to) {
    return IsUsable(from) && IsUsable(to) &&
           ::MoveFileExW(Name(from).c_str(), Name(to).c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

void SetReadFunctionForTesting(ReadFunction read) { ReadOverride() = std::move(read); }

bool FileLock::TryLock(std::string_view path) {
    Unlock();
    if (!IsUsable(path)) return false;
    // Shared for deletion only: a second open fails while this handle lives,
    // the system closes it when the process ends, and its holder can still
    // remove it.
    const HANDLE file = ::CreateFileW(Name(path).c_str(), GENERIC_READ, FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    m_fd = file;
    return true;
}

void FileLock::Unlock() {
    if (m_fd == kNoFile) return;
    ::CloseHandle(m_fd);
    m_fd = kNoFile;
}

void FileLock::UnlockAndRemove(std::string_view path) {
    // Gone once the handle closes; until then no one else can open it.
    if (m_fd != kNoFile && IsUsable(path)) ::DeleteFileW(Name(path).c_str());
    Unlock();
}

bool RemoveFile(std::string_view path) {
    if (!IsUsable(path)) return false;
    if (::DeleteFileW(Name(path).c_str())) return true;
    const DWORD error = ::GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

bool RemoveTree(std::string_view path) {
    if (!IsUsable(path)) return false;
    const std::wstring name = Name(path);
    const DWORD attributes = ::GetFileAttributesW(name.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return IsMissing(path);
    // A junction or link to a folder goes as a link, with what it leads to kept.
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) return ::DeleteFileW(name.c_str()) != 0;
    if ((attributes & FILE_ATTRIBUTE_REPARSE_POINT) == 0)
        for (const std::string& entry : NamesIn(path)) RemoveTree(FilePath(path) + "\\" + entry);
    return ::RemoveDirectoryW(name.c_str()) != 0;
}

std::vector<std::string> NamesIn(std::string_view folder) {
    std::vector<std::string> names;
    if (!IsUsable(folder)) return names;
    std::wstring pattern = Name(folder);
    // An extended name takes no doubled separator.
    while (pattern.size() > RootLength(pattern) && pattern.back() == L'\\') pattern.pop_back();
    pattern += L"\\*";
    WIN32_FIND_DATAW found{};
    const HANDLE search = ::FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return names;
    do {
        const std::wstring_view entry = found.cFileName;
        if (entry != L"." && entry != L"..") names.push_back(utf16::ToUtf8(std::u16string(entry.begin(), entry.end())));
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return names;
}

namespace {

CommonFault FaultOf(DWORD reason) {
    switch (reason) {
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            return CommonFault::Denied;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_INVALID_DRIVE:
            return CommonFault::Missing;
        case ERROR_ALREADY_EXISTS:  // a folder not made: a file has its name
            return CommonFault::NotAFolder;
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return CommonFault::DiskFull;
        case ERROR_WRITE_PROTECT:
            return CommonFault::ReadOnlyDisk;
        case ERROR_DIRECTORY:
            return CommonFault::IsFolder;
        case ERROR_FILENAME_EXCED_RANGE:
            return CommonFault::NameTooLong;
        case ERROR_FILE_TOO_LARGE:
            return CommonFault::TooLarge;
        default:
            return CommonFault::Other;
    }
}

}  // namespace

std::string SystemReason() {
    const DWORD reason = ::GetLastError();
    if (reason == 0) return {};
    if (const std::string_view words = CommonFaultWords(FaultOf(reason)); !words.empty()) return std::string(words);
    wchar_t* text = nullptr;
    const DWORD length =
        ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                         nullptr, reason, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring words(text ? text : L"", length);
    if (text) ::LocalFree(text);
    // The system ends its sentence with a full stop and a line break.
    while (!words.empty() &&
           (words.back() == L'\n' || words.back() == L'\r' || words.back() == L'.' || words.back() == L' '))
        words.pop_back();
    if (words.empty()) return "error " + std::to_string(reason);
    return utf16::ToUtf8(std::u16string(words.begin(), words.end()));
}

}  // namespace fileio
