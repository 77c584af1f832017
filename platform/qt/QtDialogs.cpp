#include "platform/qt/QtDialogs.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

#include "platform/qt/QtDialog.h"
#include "platform/qt/QtText.h"

namespace {

DialogSeam* g_seam = nullptr;
FolderMemory* g_folders = nullptr;

class RealDialogs final : public DialogSeam {
public:
    void MessageBox(const ShownMessage& message) override {
        QMessageBox box(message.icon == MessageIcon::Exclamation ? QMessageBox::Warning : QMessageBox::NoIcon,
                        message.caption, message.text, QMessageBox::Ok, message.owner);
        box.exec();
    }

    void Beep() override { QApplication::beep(); }

    std::optional<QString> FileDialog(QWidget* owner, const FileDialogRequest& request) override {
        QFileDialog dialog(owner);
        dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setOption(QFileDialog::HideNameFilterDetails);
        dialog.setOption(QFileDialog::DontConfirmOverwrite, !request.overwritePrompt);
        QStringList filters;
        for (const FileFilter& filter : request.filters)
            filters << filter.display + QStringLiteral(" (") + filter.patterns.join(QLatin1Char(' ')) +
                           QLatin1Char(')');
        dialog.setNameFilters(filters);
        if (!request.defaultExtension.isEmpty()) dialog.setDefaultSuffix(request.defaultExtension);
        if (!request.startFolder.isEmpty()) dialog.setDirectory(request.startFolder);
        if (!request.proposedName.isEmpty()) dialog.selectFile(request.proposedName);
        if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
        return dialog.selectedFiles().constFirst();
    }

    bool Open(const QString& path) override { return QDesktopServices::openUrl(QUrl::fromLocalFile(path)); }
};

DialogSeam& Seam() {
    static RealDialogs real;
    return g_seam ? *g_seam : real;
}

ChosenFile MakeChosenFile(const QString& path) {
    const QString native = QDir::cleanPath(QDir::current().absoluteFilePath(path));
    return {native.toStdString(), QFileInfo(native).fileName().toStdString()};
}

QString Trimmed(std::string_view text) { return ToQString(text).trimmed(); }

}  // namespace

std::vector<FileFilter> ParseFileFilter(std::string_view filter) {
    std::vector<FileFilter> result;
    std::size_t pos = 0;
    while (pos < filter.size()) {
        const std::size_t displayEnd = filter.find('|', pos);
        if (displayEnd == std::string_view::npos || displayEnd == pos) break;
        const std::size_t patternEnd = filter.find('|', displayEnd + 1);
        if (patternEnd == std::string_view::npos) break;
        FileFilter entry;
        entry.display = Trimmed(filter.substr(pos, displayEnd - pos));
        const QString patterns = ToQString(filter.substr(displayEnd + 1, patternEnd - displayEnd - 1));
        for (const QString& piece : patterns.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString pattern = piece.trimmed();
            if (pattern.isEmpty()) continue;
            // "*.*" means every file on Windows, dotted or not.
            entry.patterns << (pattern == QStringLiteral("*.*") ? QStringLiteral("*") : pattern);
        }
        result.push_back(entry);
        pos = patternEnd + 1;
    }
    return result;
}

void SetDialogSeamForTesting(DialogSeam* seam) { g_seam = seam; }

void ShowMessageBox(WindowHandle owner, std::string_view text, MessageIcon icon) {
    Seam().MessageBox({ToQString(kApplicationTitle), ToQString(text), icon, QtWidget(owner)});
}

void DefaultBeep() { Seam().Beep(); }

void SetFolderMemory(FolderMemory* memory) { g_folders = memory; }

namespace {

// The dialog's answer, with its folder remembered for the next of its kind.
std::optional<ChosenFile> Ask(QWidget* owner, FileDialogRequest& request, const std::string& kind) {
    if (g_folders) request.startFolder = QString::fromStdString(g_folders->LastFolder(kind));
    const std::optional<QString> path = Seam().FileDialog(owner, request);
    if (!path) return std::nullopt;
    ChosenFile chosen = MakeChosenFile(*path);
    if (g_folders)
        g_folders->Remember(kind, QFileInfo(QString::fromStdString(chosen.path)).absolutePath().toStdString());
    return chosen;
}

}  // namespace

std::optional<ChosenFile> OpenFileDialog(WindowHandle owner, std::string_view filter, const std::string& kind) {
    FileDialogRequest request;
    request.filters = ParseFileFilter(filter);
    return Ask(QtWidget(owner), request, kind);
}

std::optional<ChosenFile> SaveFileDialog(WindowHandle owner, std::string_view filter, std::string_view defaultExtension,
                                         std::string_view proposedName, const std::string& kind) {
    FileDialogRequest request;
    request.save = true;
    request.filters = ParseFileFilter(filter);
    request.defaultExtension = ToQString(defaultExtension);
    request.proposedName = ToQString(proposedName);
    request.overwritePrompt = true;
    std::optional<ChosenFile> chosen = Ask(QtWidget(owner), request, kind);
    if (chosen) QDir::setCurrent(QFileInfo(QString::fromStdString(chosen->path)).absolutePath());
    return chosen;
}

std::optional<std::int64_t> FileLength(const ChosenFile& file) {
    QFile handle(QString::fromStdString(file.path));
    if (!handle.open(QIODevice::ReadOnly)) return std::nullopt;
    return handle.size();
}

bool OpenInBrowser(const FilePath& path) { return Seam().Open(QString::fromStdString(path)); }
