#pragma once
// Finds and loads the preview module the first time it is wanted. Without
// the system's dynamic loader from Qt, so the renderer can use it too.

#include <string>

#include "app/preview/PreviewModule.h"

namespace preview {

struct Module {
    CreateViewFunction createView = nullptr;
    WritePngFunction writePng = nullptr;
    std::string error;  // UTF-8, one line; empty when loaded

    bool ok() const { return error.empty(); }
};

// Loads the module once per path; later calls answer the same.
const Module& LoadModule();

// Where the module is: QUILLSMITH_PREVIEW_MODULE when set (tests point it at
// a missing file), else beside the installed program, next to the
// executable, or in the build tree.
std::string FindModulePath();

}  // namespace preview
