#include "app/preview/PreviewLoader.h"

#ifndef _WIN32
#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <array>
#include <cstdlib>
#include <map>

namespace preview {
namespace {

constexpr const char* kModuleName = "quillsmith-preview.so";

#ifndef _WIN32
bool IsFile(const std::string& path) {
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

std::string ExecutableFolder() {
    std::array<char, 4096> path{};
    const ssize_t size = ::readlink("/proc/self/exe", path.data(), path.size() - 1);
    if (size <= 0) return {};
    std::string folder(path.data(), static_cast<std::size_t>(size));
    return folder.substr(0, folder.rfind('/'));
}

Module Load(const std::string& path) {
    Module module;
    if (!IsFile(path)) {
        module.error = "no preview module at " + path;
        return module;
    }
    // Never unloaded: the engine's threads live as long as the process.
    void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = ::dlerror();
        module.error = why ? why : "the preview module cannot be loaded";
        return module;
    }
    module.createView = reinterpret_cast<CreateViewFunction>(::dlsym(handle, kCreateViewEntry));
    module.writePng = reinterpret_cast<WritePngFunction>(::dlsym(handle, kWritePngEntry));
    if (!module.createView || !module.writePng) module.error = path + " is not a Quillsmith preview module";
    return module;
}
#else
// The engine's module is built for Linux alone.
bool IsFile(const std::string&) { return false; }
std::string ExecutableFolder() { return {}; }
Module Load(const std::string&) { return {nullptr, nullptr, "no preview module on this system"}; }
#endif

}  // namespace

std::string FindModulePath() {
    if (const char* chosen = std::getenv("QUILLSMITH_PREVIEW_MODULE"); chosen && *chosen) return chosen;
    const std::string folder = ExecutableFolder();
    for (const std::string& candidate :
         {folder + "/" QS_PREVIEW_INSTALLED_RELATIVE, folder + "/" + kModuleName, std::string(QS_PREVIEW_BUILD_PATH)}) {
        if (IsFile(candidate)) return candidate;
    }
    return folder + "/" QS_PREVIEW_INSTALLED_RELATIVE;
}

const Module& LoadModule() {
    // By path, so a test that points the loader elsewhere gets its own answer.
    static std::map<std::string, Module> loaded;
    const std::string path = FindModulePath();
    auto found = loaded.find(path);
    if (found == loaded.end()) found = loaded.emplace(path, Load(path)).first;
    return found->second;
}

}  // namespace preview
