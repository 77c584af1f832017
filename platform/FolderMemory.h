#pragma once
// The folder each kind of file dialog last chose in ("readme",
// "screenshots", "text", "forms", ...). The program provides it; a file
// dialog starts there and tells it where the user went.

#include <string>
#include <string_view>

#include "text/Text.h"

class FolderMemory {
public:
    // Empty when this kind has no folder yet.
    virtual FilePath LastFolder(const std::string& kind) const = 0;
    virtual void Remember(const std::string& kind, const FilePath& folder) = 0;

protected:
    ~FolderMemory() = default;
};
