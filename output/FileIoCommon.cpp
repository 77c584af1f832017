// The file rules that are the same on every system, over each system's own
// (FileIo.cpp, FileIoWin32.cpp).

#include "output/FileIo.h"

namespace fileio {

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

}  // namespace fileio
