#include "platform/qt/QtDialogs.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QUrl>

#include "platform/DialogRules.h"
#include "platform/qt/QtDialog.h"
#include "platform/qt/QtText.h"

namespace {

DialogSeam* g_seam = nullptr;

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

QString Trimmed(std::string_view text) { return ToQString(text).trimmed(); }

}  // namespace

std::vector<FileFilter> ParseFileFilter(std::string_view filter) {
    std::vector<FileFilter> result;
    for (const FileFilterPair& pair : SplitFileFilter(filter)) {
        FileFilter entry;
        entry.display = Trimmed(pair.display);
        for (const QString& piece : ToQString(pair.patterns).split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
            const QString pattern = piece.trimmed();
            if (pattern.isEmpty()) continue;
            // "*.*" means every file on Windows, dotted or not.
            entry.patterns << (pattern == QStringLiteral("*.*") ? QStringLiteral("*") : pattern);
        }
        result.push_back(entry);
    }
    return result;
}

void SetDialogSeamForTesting(DialogSeam* seam) { g_seam = seam; }

void ShowMessageBox(WindowHandle owner, std::string_view text, MessageIcon icon) {
    Seam().MessageBox({ToQString(kApplicationTitle), ToQString(text), icon, QtWidget(owner)});
}

void DefaultBeep() { Seam().Beep(); }

std::optional<FilePath> AskFileDialog(WindowHandle owner, const FileDialogQuestion& question) {
    FileDialogRequest request;
    request.save = question.save;
    request.filters = ParseFileFilter(question.filter);
    request.defaultExtension = ToQString(question.defaultExtension);
    request.proposedName = ToQString(question.proposedName);
    request.overwritePrompt = question.save;
    request.startFolder = QString::fromStdString(question.startFolder);
    const std::optional<QString> path = Seam().FileDialog(QtWidget(owner), request);
    if (!path) return std::nullopt;
    const QString whole = QDir::cleanPath(QDir::current().absoluteFilePath(*path));
    if (question.save) QDir::setCurrent(QFileInfo(whole).absolutePath());
    return whole.toStdString();
}

std::optional<std::int64_t> FileLength(const ChosenFile& file) {
    QFile handle(QString::fromStdString(file.path));
    if (!handle.open(QIODevice::ReadOnly)) return std::nullopt;
    return handle.size();
}

bool OpenInBrowser(const FilePath& path) { return Seam().Open(QString::fromStdString(path)); }

bool SetClipboardText(WindowHandle, std::string_view utf8) {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (!clipboard) return false;
    clipboard->setText(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())));
    return true;
}
