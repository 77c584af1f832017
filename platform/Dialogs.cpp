#include "platform/Dialogs.h"

namespace {

FolderMemory* g_folders = nullptr;

// The dialog's answer, with its folder remembered for the next of its kind.
std::optional<ChosenFile> Ask(WindowHandle owner, FileDialogQuestion question, const std::string& kind,
                              const std::string& fallbackKind = {}) {
    if (g_folders) question.startFolder = g_folders->LastFolder(kind);
    if (g_folders && question.startFolder.empty() && !fallbackKind.empty())
        question.startFolder = g_folders->LastFolder(fallbackKind);
    const std::optional<FilePath> path = AskFileDialog(owner, question);
    if (!path || path->empty()) return std::nullopt;
    const std::size_t slash = path->find_last_of("\\/");
    if (slash == FilePath::npos) return ChosenFile{*path, *path};
    if (g_folders) g_folders->Remember(kind, slash == 0 ? path->substr(0, 1) : path->substr(0, slash));
    return ChosenFile{*path, path->substr(slash + 1)};
}

}  // namespace

void SetFolderMemory(FolderMemory* memory) { g_folders = memory; }

std::optional<ChosenFile> OpenFileDialog(WindowHandle owner, std::string_view filter, const std::string& kind) {
    FileDialogQuestion question;
    question.filter = filter;
    return Ask(owner, question, kind);
}

std::optional<ChosenFile> SaveFileDialog(WindowHandle owner, std::string_view filter, std::string_view defaultExtension,
                                         std::string_view proposedName, const std::string& kind,
                                         const std::string& fallbackKind) {
    FileDialogQuestion question;
    question.save = true;
    question.filter = filter;
    question.defaultExtension = defaultExtension;
    question.proposedName = proposedName;
    return Ask(owner, question, kind, fallbackKind);
}
