// quillsmith-render [--form FORM.json] [--plugin PLUGIN] [--write-form OUT.qsform]
//                   [--output PATH/ReadMe.htm [--preview-png PAGE.png]] [--check]
//                   [--format htm|txt|bbcode|md]
// quillsmith-render --from-readme PATH/ReadMe.htm [--write-form OUT.qsform] [--output NEW/ReadMe.htm]
//
// Does what Save does once its dialog has answered with PATH, for authors
// who script their releases. Save's messages go to standard error, one UTF-8
// line each; the preview's checks, with --check, to standard output. Exit
// status: 0 no message, 1 some message, 2 usage, form file or plug-in, 3 no
// message but some check.

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "app/preview/PreviewPng.h"
#include "form/FormFile.h"
#include "formats/ReleaseTexts.h"
#include "output/DatabaseRecord.h"
#include "output/FileIo.h"
#include "output/ReadmeChecks.h"
#include "output/SaveFiles.h"
#include "platform/Utf8Arguments.h"
#include "plugin/PluginChecks.h"
#include "plugin/PluginFill.h"
#include "plugin/PluginHeader.h"
#include "readme/ReadmeHtml.h"
#include "reopen/ReadmeReader.h"
#include "template/TemplatePackage.h"
#include "text/Cp1251.h"
#include "text/Version.h"

namespace {

constexpr int kExitClean = 0;
constexpr int kExitMessages = 1;
constexpr int kExitUsage = 2;
constexpr int kExitChecks = 3;

constexpr std::string_view kUsage =
    "usage: quillsmith-render [--form FORM.json] [--plugin PLUGIN] --output PATH/ReadMe.htm\n"
    "                         [--preview-png PAGE.png] [--write-form OUT.qsform] [--check]\n"
    "       quillsmith-render [--form FORM.json] [--plugin PLUGIN] --write-form OUT.qsform [--check]\n"
    "       quillsmith-render [--form FORM.json] [--plugin PLUGIN] --check\n"
    "       quillsmith-render [--form FORM.json] [--plugin PLUGIN] --output PATH --format txt|bbcode|md\n"
    "       quillsmith-render --from-readme PATH/ReadMe.htm [--write-form OUT.qsform] [--output NEW/ReadMe.htm]\n"
    "       quillsmith-render --help | --version\n"
    "  --form FORM.json        the form; without it, a new form (then --plugin is needed)\n"
    "  --plugin PLUGIN         fill the form from the plug-in's header (.esp, .esm, .omwaddon): its file\n"
    "                          name, its masters, a BSA beside it, an empty description and author;\n"
    "                          a plug-in that cannot be read: exit 2, nothing written\n"
    "  --write-form OUT.qsform also write the resulting form, as the window's Save form does\n"
    "  --preview-png PAGE.png  also write the whole page as the preview shows it (needs the preview module)\n"
    "  --from-readme PATH      the form, and the record beside it, read back from a readme this program\n"
    "                          wrote, in place of --form; its screenshots are taken from its folder;\n"
    "                          a readme it cannot read: exit 2 with the reason, nothing written\n"
    "  --check                 then print the preview's checks, one a line on standard output;\n"
    "                          exit 3 when there is one\n"
    "  --format htm|txt|bbcode|md  what --output is: htm (the default) the readme with its pictures,\n"
    "                          copies and record; txt the ReadMe.txt, bbcode the forum text, md the\n"
    "                          Markdown: then that one file alone, nothing else\n";

struct Arguments {
    std::string form;
    std::string output;
    std::string previewPng;
    std::string plugin;
    std::string writeForm;
    std::string format;
    ReleaseFormat release = ReleaseFormat::Readme;
    std::string fromReadme;
    bool check = false;
};

int UsageError(std::string_view why) {
    std::cerr << "quillsmith-render: " << why << '\n' << kUsage;
    return kExitUsage;
}

// Accepts "--name value" and "--name=value"; each option once.
std::optional<std::string> ParseArguments(int argc, char** argv, Arguments& args) {
    for (int i = 1; i < argc; ++i) {
        std::string_view arg = argv[i];
        if (arg == "--check") {
            if (args.check) return std::string("--check given twice");
            args.check = true;
            continue;
        }
        std::string value;
        const std::size_t equals = arg.find('=');
        std::string_view name = arg.substr(0, equals);
        const std::pair<std::string_view, std::string*> options[] = {{"--form", &args.form},
                                                                     {"--output", &args.output},
                                                                     {"--preview-png", &args.previewPng},
                                                                     {"--plugin", &args.plugin},
                                                                     {"--write-form", &args.writeForm},
                                                                     {"--format", &args.format},
                                                                     {"--from-readme", &args.fromReadme}};
        const auto option =
            std::find_if(std::begin(options), std::end(options), [&](const auto& o) { return o.first == name; });
        if (option == std::end(options)) return "unknown argument \"" + std::string(arg) + "\"";
        if (equals != std::string_view::npos) {
            value = arg.substr(equals + 1);
        } else if (i + 1 < argc) {
            value = argv[++i];
        } else {
            return std::string(name) + " needs a value";
        }
        std::string& slot = *option->second;
        if (!slot.empty()) return std::string(name) + " given twice";
        if (value.empty()) return std::string(name) + " needs a value";
        slot = value;
    }
    if (!args.fromReadme.empty() && !args.form.empty())
        return std::string("--from-readme and --form exclude each other");
    if (args.form.empty() && args.plugin.empty() && args.fromReadme.empty()) return std::string("--form is missing");
    if (args.output.empty() && !args.check && args.writeForm.empty()) return std::string("--output is missing");
    if (args.output.empty() && !args.previewPng.empty()) return std::string("--preview-png needs --output");
    if (!args.format.empty() && !ReleaseFormatByName(args.format, args.release))
        return "unknown format \"" + args.format + "\"";
    if (!args.format.empty() && args.output.empty()) return std::string("--format needs --output");
    if (args.release != ReleaseFormat::Readme && !args.previewPng.empty())
        return std::string("--preview-png goes with --format htm");
    return std::nullopt;
}

std::optional<std::string> ReadWholeFile(const std::string& path, std::string& bytes) {
    std::FILE* file = OpenUtf8(path, "rb");
    if (!file) return std::string(std::strerror(errno));
    std::array<char, 65536> block;
    std::size_t got = 0;
    while ((got = std::fread(block.data(), 1, block.size(), file)) > 0) bytes.append(block.data(), got);
    const int error = std::ferror(file) ? errno : 0;
    std::fclose(file);
    if (error != 0) return std::string(std::strerror(error));
    return std::nullopt;
}

// Save's work and the preview's picture; true when a message was printed.
bool WriteReadme(const FormFile& file, const FilePath& readmePath, const std::string& previewPng) {
    bool anyMessage = false;
    const ShowMessage show = [&anyMessage](std::string_view text, MessageIcon) {
        anyMessage = true;
        std::cerr << cp1251::ToUtf8(text) << '\n';
    };

    TemplatePackage package;
    if (package.LoadBuiltIn() != kTemplateLoaded) show(kTemplateNotLoaded, MessageIcon::Exclamation);

    const Text readmeHtml = BuildReadmeHtml(file.form, package);
    Text recordText;
    if (BuildDatabaseRecord(file.record, file.form, recordText, show)) {
        static std::array<char, kTextBufferSize> buffer;
        RunSaveFileWork(MakeSaveFileWork(file.form, package, readmeHtml, file.record, recordText, readmePath), package,
                        buffer, show);
    }
    // The browser engine is loaded for this alone.
    std::string why;
    if (!previewPng.empty() &&
        !WritePreviewPng(file.form, readmeHtml, package, FolderOfPath(readmePath), previewPng, why)) {
        anyMessage = true;
        std::cerr << "quillsmith-render: --preview-png: " << why << '\n';
    }
    return anyMessage;
}

// One of the other texts, alone, written as Save writes its readme; true
// when a message was printed.
bool WriteReleaseText(const FormFile& file, ReleaseFormat format, const FilePath& path) {
    TemplatePackage package;
    const bool loaded = package.LoadBuiltIn() == kTemplateLoaded;
    if (!loaded) std::cerr << cp1251::ToUtf8(kTemplateNotLoaded) << '\n';
    if (fileio::WriteWholeFile(path, BuildRelease(format, file.form, package))) return !loaded;
    // The same line as Save's for its readme.
    std::cerr << cp1251::ToUtf8(kReadmeNotCreated) << '\n';
    return true;
}

// The form and its record as the readme and its folder give them back; the
// screenshots stay where the readme's folder holds them, wherever it goes next.
bool ReadFromReadme(const std::string& path, FormFile& file) {
    FilePath readme = path;
    std::replace(readme.begin(), readme.end(), '/', kPathSeparator);
    readme = fileio::ResolveAgainst(fileio::CurrentFolder(), readme);
    ReleaseReading read = ReadRelease(readme);
    if (!read.ok()) {
        std::cerr << "quillsmith-render: " << path << ": " << read.error << '\n';
        return false;
    }
    file = std::move(read.file);
    for (int i = 0; i < file.form.screenshotCount; ++i) {
        FilePath& shot = file.form.screenshotPath[static_cast<std::size_t>(i)];
        shot = fileio::ResolveAgainst(FolderOfPath(readme), shot);
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const Utf8Arguments utf8(argc, argv);
    if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
        std::cout << kUsage;
        return kExitClean;
    }
    if (argc == 2 && std::string_view(argv[1]) == "--version") {
        std::cout << "quillsmith-render " << kProgramVersion << '\n';
        return kExitClean;
    }
    Arguments args;
    if (auto why = ParseArguments(argc, argv, args)) return UsageError(*why);

    FormFile file;
    if (!args.form.empty()) {
        std::string bytes;
        if (auto why = ReadWholeFile(args.form, bytes)) {
            std::cerr << "quillsmith-render: cannot read " << args.form << ": " << *why << '\n';
            return kExitUsage;
        }
        FormFileResult read = ReadFormFile(bytes);
        if (!read.ok()) {
            std::cerr << "quillsmith-render: " << args.form << ": " << read.error << '\n';
            return kExitUsage;
        }
        file = std::move(read.file);
    }
    if (!args.fromReadme.empty() && !ReadFromReadme(args.fromReadme, file)) return kExitUsage;
    if (!args.plugin.empty()) {
        // Kept whole, as the window's dialog gives it, so that the checks
        // find it from any readme's folder.
        const FilePath plugin = fileio::ResolveAgainst(fileio::CurrentFolder(), args.plugin);
        const PluginHeaderRead header = ReadPluginHeaderFile(plugin);
        if (!header.ok()) {
            std::cerr << "quillsmith-render: " << args.plugin << ": " << cp1251::ToUtf8(PluginFaultText(header.fault))
                      << '\n';
            return kExitUsage;
        }
        ApplyPluginHeader(file, header.header, plugin, BsaBesidePlugin(plugin));
    }

    bool anyMessage = false;
    if (!args.writeForm.empty() && !fileio::WriteWholeFile(args.writeForm, WriteFormFile(file))) {
        anyMessage = true;
        std::cerr << "quillsmith-render: --write-form: cannot write " << args.writeForm << ": "
                  << fileio::SystemReason() << '\n';
    }
    // Relative file names are taken as Save takes them, against the readme's
    // folder; with no readme, against the current one, as the window does
    // before its first Save.
    FilePath baseFolder;
    if (!args.output.empty()) {
        // A bare name lives in the current folder; without "./" its folder
        // would be empty, which is the root.
        FilePath readmePath = args.output;
        // Windows takes "/" as well; the readme's folder ends at the system's own.
        std::replace(readmePath.begin(), readmePath.end(), '/', kPathSeparator);
        if (readmePath.find(kPathSeparator) == FilePath::npos) readmePath = FilePath(".") + kPathSeparator + readmePath;
        baseFolder = FolderOfPath(readmePath);
        if (args.release == ReleaseFormat::Readme)
            anyMessage = WriteReadme(file, readmePath, args.previewPng) || anyMessage;
        else
            anyMessage = WriteReleaseText(file, args.release, readmePath) || anyMessage;
    } else {
        baseFolder = fileio::CurrentFolder();
    }
    // After everything else, so that a script sees the checks of what was written.
    const std::vector<ReadmeCheck> checks =
        args.check ? CheckRelease(file.form, file.record, baseFolder) : std::vector<ReadmeCheck>();
    for (const ReadmeCheck& check : checks) std::cout << cp1251::ToUtf8(check.message) << '\n';
    std::cout.flush();
    std::cerr.flush();
    if (anyMessage) return kExitMessages;
    return checks.empty() ? kExitClean : kExitChecks;
}
