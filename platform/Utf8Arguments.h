#pragma once
// The command line as UTF-8. On Windows argv is in the ANSI code page, which
// holds few of the names a user can give; the system's UTF-16 command line is
// read instead, so a Cyrillic path works whatever that code page is. Elsewhere
// argv is UTF-8 already and stays as it is.

#include <cstdio>
#include <string>
#include <vector>

class Utf8Arguments {
public:
    // Points argc and argv at the UTF-8 arguments, kept for this object's life.
    Utf8Arguments(int& argc, char**& argv);

private:
    std::vector<std::string> m_values;
    std::vector<char*> m_pointers;
};

// std::fopen for a name in UTF-8: on Windows through the UTF-16 _wfopen.
std::FILE* OpenUtf8(const std::string& path, const char* mode);

#ifndef _WIN32  // Utf8ArgumentsWin32.cpp
inline Utf8Arguments::Utf8Arguments(int&, char**&) {}
inline std::FILE* OpenUtf8(const std::string& path, const char* mode) { return std::fopen(path.c_str(), mode); }
#endif
