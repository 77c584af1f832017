// The plug-in's header: the reader by table of plug-ins made here, its
// faults, the file read that stops at the header, and the rule that fills a
// form from it.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "PluginBuilder.h"
#include "output/FileIo.h"
#include "output_test_support.h"
#include "plugin/PluginFill.h"
#include "plugin/PluginHeader.h"
#include "text/Cp1251.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

using testing_output::ScratchFolder;
using testing_output::WriteFile;
using namespace testing_plugin;
using namespace std::string_literals;

PluginHeaderRead Read(const std::string& bytes) {
    return ReadPluginHeader(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

PluginHeader Header(Text author, Text description, std::vector<std::string> masters = {}, std::uint32_t type = 0) {
    PluginHeader header{1.2f, type, std::move(author), std::move(description), {}};
    for (const std::string& name : masters) header.masters.push_back({name, MasterSize(name)});
    return header;
}

TEST(ReadPluginHeader, ReadsWhatTheHeaderCarries) {
    const Text author(Text("Ильмар"_cp)), description(Text("Маяк\r\nу заводи"_cp));
    const std::vector<std::string> masters = {"Tribunal.esm", "MORROWIND.ESM", "Tamriel_Data.esm"};
    const std::pair<std::string, PluginHeader> cases[] = {
        {Plugin("", ""), Header("", "")},
        {Plugin("A", "B", masters), Header("A", "B", masters)},
        {Plugin(author, description), Header(author, description)},
        {Plugin("x", "", {"Morrowind.esm"}, true), Header("x", "", {"Morrowind.esm"})},
        {Record(Hedr("esm", "", 1)) + Record("", "GLOB"), Header("esm", "", {}, 1)},
        // The editor leaves old bytes after the NUL; unknown subrecords are skipped.
        {Record(Hedr("Me\0junk"s, std::string(256, 'd')) + Subrecord("XYZW", "123")),
         Header("Me", std::string(256, 'd'))},
    };
    for (const auto& [bytes, expected] : cases) {
        const PluginHeaderRead read = Read(bytes);
        EXPECT_EQ(read.fault, PluginFault::None) << expected.author;
        EXPECT_EQ(read.header, expected) << expected.author;
    }
}

TEST(ReadPluginHeader, NamesWhatIsWrong) {
    const std::string good = Plugin("a", "b", {"Morrowind.esm"});
    const std::string hedr = Hedr("", "");
    const std::string mast = Subrecord("MAST", "A.esm"s + '\0');
    const std::tuple<const char*, std::string, PluginFault> cases[] = {
        {"empty file", "", PluginFault::NotAPlugin},
        {"wrong magic", "TES4" + good.substr(4), PluginFault::NotAPlugin},
        {"no HEDR", Record(Subrecord("FORM", Le32(1))), PluginFault::NotAPlugin},
        {"cut in the record header", good.substr(0, 15), PluginFault::CutShort},
        {"cut inside HEDR", good.substr(0, 124), PluginFault::CutShort},
        {"subrecord past the record", Record(hedr.substr(0, 4) + Le32(301) + hedr.substr(8)),
         PluginFault::SubrecordPastRecord},
        {"half a subrecord header", Record(hedr + "MAST"), PluginFault::SubrecordPastRecord},
        {"record size of 4 GiB", good.substr(0, 4) + Le32(0xFFFFFFFF) + good.substr(8), PluginFault::SizeMakesNoSense},
        {"a byte over the limit", "TES3" + Le32(kMaxPluginHeaderBytes + 1) + Le32(0) + Le32(0),
         PluginFault::SizeMakesNoSense},
        {"MAST without its NUL", Record(hedr + Subrecord("MAST", "Morrowind.esm")), PluginFault::SizeMakesNoSense},
        {"HEDR of 299 bytes", Record(Subrecord("HEDR", hedr.substr(8, 299))), PluginFault::SizeMakesNoSense},
        {"DATA of 4 bytes", Record(hedr + mast + Subrecord("DATA", Le32(1))), PluginFault::SizeMakesNoSense},
    };
    for (const auto& [what, bytes, fault] : cases) {
        const PluginHeaderRead read = Read(bytes);
        EXPECT_EQ(read.fault, fault) << what;
        EXPECT_EQ(read.header, PluginHeader{}) << what;
    }
}

TEST(ReadPluginHeaderFile, ReadsTheHeaderAndNothingMore) {
    ScratchFolder folder;
    const std::string plugin = Plugin("a", "b", {"Morrowind.esm"}, true);
    WriteFile(folder / "Mod.omwaddon", plugin + std::string(1 << 20, 'x'));
    WriteFile(folder / "huge.esp", "TES3" + Le32(0xFFFFFFFF) + std::string(1 << 16, 'x'));
#ifndef _WIN32
    std::size_t bytesRead = 0;
    fileio::SetReadFunctionForTesting([&bytesRead](int fd, char* data, std::size_t size) -> std::ptrdiff_t {
        const ssize_t got = ::read(fd, data, size);
        bytesRead += got > 0 ? static_cast<std::size_t>(got) : 0;
        return got;
    });
#endif
    const PluginHeaderRead read = ReadPluginHeaderFile(folder / "Mod.omwaddon");
    EXPECT_EQ(read.header, Header("a", "b", {"Morrowind.esm"}));
    EXPECT_EQ(ReadPluginHeaderFile(folder / "huge.esp").fault, PluginFault::SizeMakesNoSense);
    EXPECT_EQ(ReadPluginHeaderFile(folder / "missing.esp").fault, PluginFault::Unreadable);
    EXPECT_EQ(ReadPluginHeaderFile(folder.path()).fault, PluginFault::Unreadable);
#ifndef _WIN32
    fileio::SetReadFunctionForTesting(nullptr);
    EXPECT_EQ(bytesRead, plugin.size() + 16);
#endif
}

// The rule's six steps, each by the fields it may touch: the form becomes
// what it was with the expected changes, and nothing else.
TEST(ApplyPluginHeader, TheSixStepsTable) {
    using Change = std::function<void(FormFile&)>;
    const auto noBoxes = [](FormFile& f) { f.form.requiresMorrowind = false; };
    const auto typed = [](FormFile& f) { f.form.description = f.form.authors = f.record.authorName = "Typed"; };
    struct Case {
        const char* what;
        Change before;
        PluginHeader header;
        bool bsaBeside;
        Change expected;
        std::vector<Text> required;
        bool took = false;  // the description and the author
    };
    const Case cases[] = {
        {"1, 2: the name; no master clears the boxes; 1025 kept",
         [](FormFile& f) { f.form.pluginName = "Kept"; },
         Header("", ""),
         false,
         noBoxes,
         {}},
        {"2: the boxes exactly as the masters, any case",
         [](FormFile&) {},
         Header("", "", {"bloodmoon.ESM", "TRIBUNAL.esm"}),
         false,
         [](FormFile& f) {
             f.form.requiresMorrowind = false;
             f.form.requiresTribunal = f.form.requiresBloodmoon = true;
         },
         {"bloodmoon.ESM", "TRIBUNAL.esm"}},
        {"3: other masters on lines of their own, in order, unless named",
         [](FormFile& f) { f.form.otherRequirements = "tamriel_data.ESM v9"; },
         Header("", "", {"Morrowind.esm", "Tamriel_Data.esm", "OAAB_Data.esm", "Data.esm", "oaab_data.esm"}),
         false,
         [](FormFile& f) {
             f.form.requiresOther = true;
             f.form.otherRequirements = "tamriel_data.ESM v9\r\nOAAB_Data.esm\r\nData.esm";
         },
         {"Morrowind.esm", "Tamriel_Data.esm", "OAAB_Data.esm", "Data.esm"}},
        {"3: no other master leaves Other and its text",
         [](FormFile& f) { f.form.otherRequirements = "MWSE"; },
         Header("", "", {"Morrowind.esm"}),
         false,
         [](FormFile&) {},
         {"Morrowind.esm"}},
        {"4: a BSA beside ticks the box",
         noBoxes,
         Header("", ""),
         true,
         [](FormFile& f) { f.form.requiresBsaArchive = true; },
         {}},
        {"4: and is never cleared",
         [](FormFile& f) { f.form.requiresBsaArchive = f.form.requiresMorrowind = false; },
         Header("", ""),
         false,
         [](FormFile&) {},
         {}},
        {"5: empty fields take CR LF, no blanks at the end",
         noBoxes,
         Header("Anna\nBob \r\n\0"s, "One\rTwo\n\t "),
         false,
         [](FormFile& f) {
             f.form.description = "One\r\nTwo";
             f.form.authors = f.record.authorName = "Anna\r\nBob";
         },
         {},
         true},
        {"5: typed fields keep what was typed",
         [&](FormFile& f) {
             typed(f);
             noBoxes(f);
         },
         Header("Anna", "Text"),
         false,
         [](FormFile&) {},
         {}},
    };
    for (const Case& c : cases) {
        FormFile form;
        c.before(form);
        FormFile expected = form;
        c.expected(expected);
        expected.form.pluginFile = "Mod.esp";
        expected.form.pluginPath = "/mods/Mod.esp";
        const PluginFill fill = ApplyPluginHeader(form, c.header, "/mods/Mod.esp", c.bsaBeside);
        EXPECT_EQ(form, expected) << c.what;
        EXPECT_EQ(fill.required, c.required) << c.what;
        EXPECT_EQ(fill.description, c.took) << c.what;
        EXPECT_EQ(fill.author, c.took) << c.what;
        EXPECT_EQ(fill.bsaArchive, c.bsaBeside) << c.what;
    }
}

TEST(BsaBesidePlugin, TheArchiveInAnyCase) {
    ScratchFolder folder;
    WriteFile(folder / "LIGHTHOUSE.bsa", "");
    WriteFile(folder / "Other.esp.bsa", "");
    for (const auto& [name, beside] : {std::pair{"Lighthouse.esp", true},
                                       {"lighthouse.omwaddon", true},
                                       {"Other.esp", false},
                                       {"nowhere/Lighthouse.esp", false}})
        EXPECT_EQ(BsaBesidePlugin(folder / name), beside) << name;
    EXPECT_EQ(PluginFileName("/моды/Маяк.esp"), Text("Маяк.esp"_cp));
}

TEST(PluginFillNote, SaysWhatWasTaken) {
    EXPECT_EQ(PluginFillNote({}), "");
    PluginFill fill{{"Tribunal.esm", "Bloodmoon.esm", "Tamriel_Data.esm"}, true, true, false};
    EXPECT_EQ(cp1251::ToUtf8(PluginFillNote(fill)),
              "Из заголовка плагина: требует Tribunal.esm, Bloodmoon.esm, Tamriel_Data.esm; описание; автор");
    fill = {{}, false, false, true};
    EXPECT_EQ(cp1251::ToUtf8(PluginFillNote(fill)), "Из заголовка плагина: архив BSA");
}

}  // namespace
