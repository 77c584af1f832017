// The file rules that are the same on every system, over each system's own
// (FileIo.cpp, FileIoWin32.cpp).

#include "output/FileIo.h"

namespace fileio {

std::string_view CommonFaultWords(CommonFault fault) {
    switch (fault) {
        case CommonFault::Denied:
            return "нет доступа";
        case CommonFault::Missing:
            return "нет такого файла или папки";
        case CommonFault::NotAFolder:
            return "часть пути — файл, а не папка";
        case CommonFault::DiskFull:
            return "на диске нет места";
        case CommonFault::ReadOnlyDisk:
            return "диск только для чтения";
        case CommonFault::IsFolder:
            return "это папка";
        case CommonFault::NameTooLong:
            return "слишком длинное имя";
        case CommonFault::TooLarge:
            return "файл слишком велик";
        case CommonFault::Other:
            break;
    }
    return {};
}

FilePath ResolveAgainst(std::string_view folder, std::string_view path) {
    if (path.empty() || IsAbsolute(path)) return FilePath(path);
    FilePath resolved(folder);
    resolved += kPathSeparator;
    resolved += path;
    return resolved;
}

bool WriteWholeFile(std::string_view path, std::string_view bytes) {
    ReplacingFile file;
    return file.Create(path) && file.Write(bytes) && file.Commit();
}

std::ptrdiff_t InputFile::ReadUpTo(char* data, std::size_t size) {
    std::size_t got = 0;
    while (got < size) {
        const std::ptrdiff_t read = Read(data + got, size - got);
        if (read < 0) return -1;
        if (read == 0) break;  // shorter than when it was measured
        got += static_cast<std::size_t>(read);
    }
    return static_cast<std::ptrdiff_t>(got);
}

WholeFile ReadWholeFile(std::string_view path, std::uint64_t limit) {
    WholeFile result;
    InputFile file;
    if (!file.Open(path)) {
        result.fault = IsMissing(path) ? WholeFile::Fault::Missing : WholeFile::Fault::Unreadable;
        return result;
    }
    if (file.length() > limit) {
        result.fault = WholeFile::Fault::TooLarge;
        return result;
    }
    result.bytes.resize(static_cast<std::size_t>(file.length()));
    const std::ptrdiff_t got = file.ReadUpTo(result.bytes.data(), result.bytes.size());
    if (got < 0) {
        result.bytes.clear();
        result.fault = WholeFile::Fault::Unreadable;
        return result;
    }
    result.bytes.resize(static_cast<std::size_t>(got));
    return result;
}

FileLock::FileLock(FileLock&& other) noexcept : m_fd(other.m_fd) { other.m_fd = kNoFile; }

FileLock& FileLock::operator=(FileLock&& other) noexcept {
    if (this != &other) {
        Unlock();
        m_fd = other.m_fd;
        other.m_fd = kNoFile;
    }
    return *this;
}

}  // namespace fileio
