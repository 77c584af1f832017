#include "output/SaveFiles.h"

#include <algorithm>

#include "formats/ReleaseTexts.h"
#include "output/FileIo.h"
#include "readme/TextRoutines.h"
#include "template/TemplatePackage.h"
#include "text/Cp1251.h"

namespace {

constexpr std::string_view kCommonFolder = "files";
constexpr std::string_view kPicturesFolder = "images";
constexpr std::string_view kScreenshotsFolder = "scrins";
// UTF-8, as the system's reasons are.
constexpr std::string_view kTextWouldReplaceReadme = "текст заменил бы сам ReadMe, у него расширение .txt";
constexpr const char* kPictureNames[] = {"img_bk_0.jpg", "img_bk_1.jpg", "img_bk_2.jpg"};

FilePath Join(std::string_view folder, std::string_view name) {
    FilePath path(folder);
    path += kPathSeparator;
    path += name;
    return path;
}

void Show(const ShowMessage& show, std::string_view text, std::string_view tail = {}) {
    Text message(text);
    message += tail;
    show(message, MessageIcon::None);
}

// Before any message: showing one may change the system's last fault.
void Failed(SaveFileResult& result, const FilePath& path, bool reading = false,
            std::string reason = fileio::SystemReason()) {
    result.failed.push_back(path);
    result.faults.push_back({path, reading, std::move(reason)});
}

void MakeFolder(const FilePath& path) {
    // An existing folder is fine, and any other failure shows up when a file
    // in it cannot be created.
    fileio::MakeFolder(path);
}

// False after its message: the command ends.
bool WritePictures(const FilePath& picturesFolder, const TemplatePackage& package, SaveFileResult& result,
                   const ShowMessage& show) {
    for (const char* name : kPictureNames) {
        fileio::ReplacingFile file;
        const FilePath path = Join(picturesFolder, name);
        bool written = file.Create(path);
        const int entry = package.FindEntry(name);
        if (written && entry >= 0) {
            const auto bytes = package.Entry(entry).bytes();
            written = file.Write({reinterpret_cast<const char*>(bytes.data()), bytes.size()});
        }
        if (!written || !file.Commit()) {
            Failed(result, path);
            Show(show, kPictureNotCreated, name);
            return false;
        }
        result.written.push_back(path);
    }
    return true;
}

enum class CopyResult { Copied, SourceFailed, TargetFailed };

struct Copy {
    CopyResult result;
    std::string reason;
};

// Streams source into target through buffer. The length taken at the open
// bounds the copy; a source that shrinks meanwhile ends it early.
Copy CopyFile(const FilePath& source, const FilePath& target, std::span<char, kTextBufferSize> buffer) {
    // The reason is taken before the files close, which may change it.
    const auto failed = [](CopyResult result) { return Copy{result, fileio::SystemReason()}; };
    fileio::InputFile in;
    if (!in.Open(source)) return failed(CopyResult::SourceFailed);
    fileio::ReplacingFile out;
    if (!out.Create(target)) return failed(CopyResult::TargetFailed);

    std::uint64_t left = in.length();
    out.Reserve(left);
    while (left > 0) {
        const std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(left, buffer.size()));
        const std::ptrdiff_t got = in.Read(buffer.data(), want);
        if (got < 0) return failed(CopyResult::SourceFailed);
        if (got == 0) break;
        if (!out.Write({buffer.data(), static_cast<std::size_t>(got)})) return failed(CopyResult::TargetFailed);
        left -= static_cast<std::uint64_t>(got);
    }
    return out.Commit() ? Copy{CopyResult::Copied, {}} : failed(CopyResult::TargetFailed);
}

void CopyScreenshots(const SaveFileWork& work, const FilePath& folder, const FilePath& screenshotsFolder,
                     std::span<char, kTextBufferSize> buffer, SaveFileResult& result, const ShowMessage& show) {
    for (int i = 1; i <= 3 && work.screenshotCount >= i; ++i) {
        const FilePath& path = work.screenshotPath[static_cast<std::size_t>(i - 1)];
        const FilePath source = fileio::ResolveAgainst(folder, path);
        const FilePath target = Join(screenshotsFolder, ScreenshotFileNameView(path));
        const char number[] = {static_cast<char>('0' + i), '\0'};
        Copy copy = CopyFile(source, target, buffer);
        switch (copy.result) {
            case CopyResult::Copied:
                result.written.push_back(target);
                break;
            case CopyResult::SourceFailed:
                Failed(result, source, true, std::move(copy.reason));
                Show(show, kScreenshotNotOpened, number);
                break;
            case CopyResult::TargetFailed:
                Failed(result, target, false, std::move(copy.reason));
                Show(show, kScreenshotNotCreated, number);
                break;
        }
    }
}

}  // namespace

SaveFileWork MakeSaveFileWork(const ReadmeForm& form, const TemplatePackage& package, std::string_view readmeText,
                              const DatabaseRecord& record, std::string_view recordText, FilePath readmePath) {
    SaveFileWork work;
    work.readmePath = std::move(readmePath);
    work.readmeText = readmeText;
    work.writeReadmeText = form.writeReadmeText;
    if (form.writeReadmeText) work.readmeTextFile = BuildReadmeText(form, package);
    work.writeBackgroundImages = form.writeBackgroundImages;
    work.copyScreenshots = form.copyScreenshots;
    work.screenshotCount = form.screenshotCount;
    work.screenshotPath = form.screenshotPath;
    work.record = record;
    work.recordText = recordText;
    return work;
}

FilePath ReadmeTextPathFor(std::string_view readmePath) {
    const std::size_t name = readmePath.rfind(kPathSeparator) + 1;  // npos + 1 is 0
    std::size_t dot = readmePath.rfind('.');
    if (dot == std::string_view::npos || dot < name) dot = readmePath.size();
    std::string extension(readmePath.substr(dot));
    std::ranges::transform(extension, extension.begin(), [](char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; });
    // Case alone tells no two names apart on Windows.
    if (extension == ".txt") return {};
    return FilePath(readmePath.substr(0, dot)) + ".txt";
}

FilePath FolderOfPath(std::string_view path) {
    const std::size_t last = path.rfind(kPathSeparator);
    return last == std::string_view::npos ? FilePath() : FilePath(path.substr(0, last));
}

SaveFileResult RunSaveFileWork(const SaveFileWork& work, const TemplatePackage& package,
                               std::span<char, kTextBufferSize> buffer, const ShowMessage& show) {
    SaveFileResult result;
    const FilePath folder = FolderOfPath(work.readmePath);

    if (!fileio::WriteWholeFile(work.readmePath, work.readmeText)) {
        Failed(result, work.readmePath);
        Show(show, kReadmeNotCreated);
        return result;
    }
    result.readmeWritten = true;
    result.written.push_back(work.readmePath);

    // Nothing else depends on it, so a failure here ends nothing.
    if (work.writeReadmeText) {
        const FilePath textPath = ReadmeTextPathFor(work.readmePath);
        if (textPath.empty()) {
            Failed(result, work.readmePath, false, std::string(kTextWouldReplaceReadme));
            Show(show, kPictureNotCreated,
                 cp1251::FromUtf8(work.readmePath + ": " + std::string(kTextWouldReplaceReadme)));
        } else if (!fileio::WriteWholeFile(textPath, work.readmeTextFile)) {
            Failed(result, textPath);
            Show(show, kPictureNotCreated, cp1251::FromUtf8(textPath));
        } else {
            result.written.push_back(textPath);
        }
    }

    const FilePath commonFolder = Join(folder, kCommonFolder);
    if (work.writeBackgroundImages) {
        const FilePath picturesFolder = Join(commonFolder, kPicturesFolder);
        MakeFolder(commonFolder);
        MakeFolder(picturesFolder);
        if (!WritePictures(picturesFolder, package, result, show)) return result;
    }

    if (work.copyScreenshots) {
        const FilePath screenshotsFolder = Join(commonFolder, kScreenshotsFolder);
        MakeFolder(commonFolder);
        MakeFolder(screenshotsFolder);
        CopyScreenshots(work, folder, screenshotsFolder, buffer, result, show);
    }

    const RecordFileWrite record = WriteDatabaseRecord(work.record, work.recordText, folder, show);
    if (record.written)
        result.written.push_back(record.path);
    else if (!record.path.empty())
        Failed(result, record.path, false, record.reason);
    return result;
}
