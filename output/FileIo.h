#pragma once
// Files as Save needs them. Paths are the core's Windows-1251 texts and are
// converted to the file system's encoding (UTF-8) only here.
//
// Every output is written to a temporary file beside its target and renamed
// over it once complete, so a failed save leaves the previous file intact
// and never a truncated one. Every file is closed on every road.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>

#include "readme/Text.h"

namespace fileio {

// A path that does not start at the root is taken relative to folder, the
// way the save dialog's current directory made it on the desktop.
Text ResolveAgainst(std::string_view folder, std::string_view path);

class InputFile {
public:
    InputFile() = default;
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    ~InputFile();

    // False for a missing or unreadable file and for a directory.
    bool Open(std::string_view path);
    // The length taken when the file was opened.
    std::uint64_t length() const { return m_length; }
    // Up to size bytes; 0 at the end of the file, -1 on an error.
    std::ptrdiff_t Read(char* data, std::size_t size);

private:
    int m_fd = -1;
    std::uint64_t m_length = 0;
};

class ReplacingFile {
public:
    ReplacingFile() = default;
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;
    // Discards the temporary file unless Commit succeeded.
    ~ReplacingFile();

    // False when the target cannot be written: its folder is missing, or a
    // directory stands in its place.
    bool Create(std::string_view path);
    // Sets aside room for size bytes, which makes the file system's work
    // per write lighter; a file that ends up shorter gives the rest back.
    void Reserve(std::uint64_t size);
    // Writes every byte, however many calls the system needs.
    bool Write(std::string_view bytes);
    // Puts the file in the target's place. Like cp, it does not wait for the
    // disk (fsync): that wait would cost more than the whole copy here.
    bool Commit();

private:
    void Discard();

    int m_fd = -1;
    std::uint64_t m_written = 0;
    std::uint64_t m_reserved = 0;
    Text m_target;     // UTF-8
    Text m_temporary;  // UTF-8
};

// Create, Write and Commit in one.
bool WriteWholeFile(std::string_view path, std::string_view bytes);

// Replaces the system's read for InputFile::Read until reset with nullptr, so
// tests can fail or shorten a read that the file system would not.
using ReadFunction = std::function<std::ptrdiff_t(int fd, char* data, std::size_t size)>;
void SetReadFunctionForTesting(ReadFunction read);

}  // namespace fileio
