// The plug-in's header: the reader by table of plug-ins made here, its
// faults, the file read that stops at the header, and the rule that fills a
// form from it.

#include <gtest/gtest.h>

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

PluginFill Fill(std::vector<Text> required, bool description = false, bool author = false, bool bsa = false) {
    PluginFill fill;
    fill.required = std::move(required);
    fill.description = description;
    fill.author = author;
    fill.bsaArchive = bsa;
    return fill;
}

PluginHeaderRead Read(const std::string& bytes) {
    return ReadPluginHeader(std::span(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()));
}

std::vector<PluginMaster> Masters(std::initializer_list<std::pair<const char*, std::uint64_t>> list) {
    std::vector<PluginMaster> masters;
    for (const auto& [name, size] : list) masters.push_back({name, size});
    return masters;
}

TEST(ReadPluginHeader, ReadsWhatTheHeaderCarries) {
    struct Case {
        const char* what;
        PluginBuilder plugin;
        PluginHeader expected;
    };
    const std::string cyrillicAuthor(Text("Ильмар Северянин"_cp));
    const std::string longDescription(256, 'd');  // the whole field, no NUL left
    const Case cases[] = {
        {"empty header", PluginBuilder(), {1.2f, 0, "", "", {}}},
        {"masters in their cases and order",
         PluginBuilder()
             .Author("A")
             .Description("B")
             .Master("Tribunal.esm", 4565686)
             .Master("MORROWIND.ESM", 79837557)
             .Master("Tamriel_Data.esm", 1),
         {1.2f, 0, "A", "B",
          Masters({{"Tribunal.esm", 4565686}, {"MORROWIND.ESM", 79837557}, {"Tamriel_Data.esm", 1}})}},
        {"Windows-1251 kept as it is",
         PluginBuilder().Type(1).Author(cyrillicAuthor).Description(std::string("Маяк\r\nу заводи"_cp)),
         {1.2f, 1, cyrillicAuthor, std::string("Маяк\r\nу заводи"_cp), {}}},
        {"FORM before HEDR",
         PluginBuilder().Author("x").Master("Morrowind.esm", 5).FormFirst(),
         {1.2f, 0, "x", "", Masters({{"Morrowind.esm", 5}})}},
        {"size beyond 4 GiB",
         PluginBuilder().Master("Big.esm", 0x123456789ULL),
         {1.2f, 0, "", "", Masters({{"Big.esm", 0x123456789ULL}})}},
        {"a full description", PluginBuilder().Description(longDescription), {1.2f, 0, "", longDescription, {}}},
        {"records after the header",
         PluginBuilder().Author("a").After(Record(Subrecord("NAME", "x"), "GLOB")),
         {1.2f, 0, "a", "", {}}},
    };
    for (const Case& c : cases) {
        const PluginHeaderRead read = Read(c.plugin.Bytes());
        EXPECT_EQ(read.fault, PluginFault::None) << c.what;
        EXPECT_EQ(read.header, c.expected) << c.what;
    }
    // The editor leaves old bytes after the NUL; unknown subrecords are skipped.
    const std::string odd =
        Record(Subrecord("HEDR", Le32(0) + Le32(0) + "Me" + '\0' + std::string(29, 'Z') + Padded("D", 256) + Le32(0)) +
               Subrecord("XYZW", "123") + Subrecord("MAST", "A.esm\0junk"s) + Subrecord("DATA", Le64(7)));
    const PluginHeaderRead read = Read(odd);
    ASSERT_TRUE(read.ok());
    EXPECT_EQ(read.header.author, "Me");
    EXPECT_EQ(read.header.masters, Masters({{"A.esm", 7}}));
}

TEST(ReadPluginHeader, NamesWhatIsWrong) {
    const std::string good = PluginBuilder().Author("a").Description("b").Master("Morrowind.esm", 1).Bytes();
    const std::string hedr = PluginBuilder().Hedr();
    struct Case {
        const char* what;
        std::string bytes;
        PluginFault fault;
    };
    const Case cases[] = {
        {"empty file", "", PluginFault::NotAPlugin},
        {"wrong magic", "TES4" + good.substr(4), PluginFault::NotAPlugin},
        {"a text file", "hello, world, this is text", PluginFault::NotAPlugin},
        {"the name alone", "TES", PluginFault::CutShort},
        {"cut in the record header", good.substr(0, 15), PluginFault::CutShort},
        {"cut inside HEDR", good.substr(0, 16 + 8 + 100), PluginFault::CutShort},
        {"subrecord past the record", Record(Subrecord("HEDR", hedr.substr(8)).replace(4, 4, Le32(400))),
         PluginFault::SubrecordPastRecord},
        {"half a subrecord header at the end", Record(hedr + "MAST"), PluginFault::SubrecordPastRecord},
        {"record size of 4 GiB", good.substr(0, 4) + Le32(0xFFFFFFFF) + good.substr(8), PluginFault::SizeMakesNoSense},
        {"one byte over the limit", "TES3" + Le32(kMaxPluginHeaderBytes + 1) + Le64(0), PluginFault::SizeMakesNoSense},
        {"at the limit but cut", "TES3" + Le32(kMaxPluginHeaderBytes) + Le64(0) + hedr, PluginFault::CutShort},
        {"MAST without its NUL", Record(hedr + Subrecord("MAST", "Morrowind.esm")), PluginFault::SizeMakesNoSense},
        {"MAST without a name", Record(hedr + Subrecord("MAST", std::string(1, '\0'))), PluginFault::SizeMakesNoSense},
        {"HEDR of 299 bytes", Record(Subrecord("HEDR", hedr.substr(8, 299))), PluginFault::SizeMakesNoSense},
        {"DATA of 4 bytes", Record(hedr + Subrecord("MAST", "A.esm"s + '\0') + Subrecord("DATA", Le32(1))),
         PluginFault::SizeMakesNoSense},
        {"no HEDR", Record(Subrecord("FORM", Le32(1))), PluginFault::NotAPlugin},
    };
    for (const Case& c : cases) {
        const PluginHeaderRead read = Read(c.bytes);
        EXPECT_EQ(read.fault, c.fault) << c.what;
        EXPECT_EQ(read.header, PluginHeader{}) << c.what;
    }
}

TEST(PluginFaultText, EachFaultInRussian) {
    const std::pair<PluginFault, const char*> cases[] = {
        {PluginFault::None, ""},
        {PluginFault::Unreadable, "файл не открывается"},
        {PluginFault::NotAPlugin, "не плагин Morrowind"},
        {PluginFault::CutShort, "заголовок обрывается"},
        {PluginFault::SubrecordPastRecord, "подзапись выходит за пределы записи"},
        {PluginFault::SizeMakesNoSense, "размер в заголовке не имеет смысла"},
    };
    for (const auto& [fault, text] : cases) EXPECT_EQ(cp1251::ToUtf8(PluginFaultText(fault)), text);
}

TEST(ReadPluginHeaderFile, ReadsTheHeaderAndNothingMore) {
    ScratchFolder folder;
    const PluginBuilder plugin = PluginBuilder()
                                     .Author("a")
                                     .Description("b")
                                     .Master("Morrowind.esm", 1)
                                     .FormFirst()
                                     .After(std::string(1 << 20, 'x'));
    WriteFile(folder / "Mod.omwaddon", plugin.Bytes());
    WriteFile(folder / "huge.esp", "TES3" + Le32(0xFFFFFFFF) + Le64(0) + std::string(1 << 16, 'x'));
    WriteFile(folder / "empty.esp", "");
    const std::pair<std::string, PluginFault> cases[] = {
        {"Mod.omwaddon", PluginFault::None},
        {"huge.esp", PluginFault::SizeMakesNoSense},
        {"empty.esp", PluginFault::NotAPlugin},
        {"missing.esp", PluginFault::Unreadable},
        {"", PluginFault::Unreadable /* the folder */},
    };
#ifndef _WIN32
    std::size_t bytesRead = 0;
    fileio::SetReadFunctionForTesting([&bytesRead](int fd, char* data, std::size_t size) -> std::ptrdiff_t {
        const ssize_t got = ::read(fd, data, size);
        if (got > 0) bytesRead += static_cast<std::size_t>(got);
        return got;
    });
#endif
    for (const auto& [name, fault] : cases) {
        EXPECT_EQ(ReadPluginHeaderFile(folder / name).fault, fault) << name;
    }
    EXPECT_EQ(ReadPluginHeaderFile(folder / "Mod.omwaddon").header, Read(plugin.Bytes()).header);
#ifndef _WIN32
    fileio::SetReadFunctionForTesting(nullptr);
    // Twice the header of Mod.omwaddon and 16 bytes of huge.esp: the rest stays unread.
    EXPECT_EQ(bytesRead, 2 * plugin.Subrecords().size() + 2 * 16 + 16);
#endif
}

class ApplyPluginHeaderTest : public ::testing::Test {
protected:
    static FormFile Filled() {
        FormFile file;
        file.form.description = "Typed";
        file.form.authors = "Typed";
        file.record.authorName = "Typed";
        return file;
    }
};

// The rule's six steps, each by the fields it may touch.
TEST_F(ApplyPluginHeaderTest, TheSixStepsTable) {
    using Change = std::function<void(FormFile&)>;
    struct Case {
        const char* what;
        Change before;  // the form the user had
        PluginHeader header;
        bool bsaBeside;
        Change expected;  // what the form becomes from before
        PluginFill fill;
    };
    const PluginHeader none;
    const Case cases[] = {
        {"1: the file name, 1025 untouched",
         [](FormFile& f) { f.form.pluginName = "Kept"; },
         none,
         false,
         [](FormFile& f) { f.form.requiresMorrowind = false; },
         {}},
        {"2: the boxes exactly as the masters, in any case",
         [](FormFile& f) { f.form.requiresMorrowind = true; },
         {0, 0, "", "", Masters({{"bloodmoon.ESM", 1}, {"TRIBUNAL.esm", 2}})},
         false,
         [](FormFile& f) {
             f.form.requiresMorrowind = false;
             f.form.requiresTribunal = f.form.requiresBloodmoon = true;
         },
         Fill({"bloodmoon.ESM", "TRIBUNAL.esm"})},
        {"3: other masters on lines of their own, in order, once",
         [](FormFile& f) { f.form.otherRequirements = "tamriel_data.ESM v9"; },
         {0, 0, "", "",
          Masters({{"Morrowind.esm", 1}, {"Tamriel_Data.esm", 2}, {"OAAB_Data.esm", 3}, {"Data.esm", 4}})},
         false,
         [](FormFile& f) {
             f.form.requiresMorrowind = f.form.requiresOther = true;
             f.form.otherRequirements = "tamriel_data.ESM v9\r\nOAAB_Data.esm\r\nData.esm";
         },
         Fill({"Morrowind.esm", "Tamriel_Data.esm", "OAAB_Data.esm", "Data.esm"})},
        {"3: no other master leaves Other and its text",
         [](FormFile& f) {
             f.form.requiresOther = true;
             f.form.otherRequirements = "MWSE";
         },
         {0, 0, "", "", Masters({{"Morrowind.esm", 1}})},
         false,
         [](FormFile&) {},
         Fill({"Morrowind.esm"})},
        {"3: an empty text takes the first without a break",
         [](FormFile& f) { f.form.requiresMorrowind = false; },
         {0, 0, "", "", Masters({{"A.esp", 1}})},
         false,
         [](FormFile& f) {
             f.form.requiresOther = true;
             f.form.otherRequirements = "A.esp";
         },
         Fill({"A.esp"})},
        {"4: a BSA beside ticks the box", [](FormFile& f) { f.form.requiresMorrowind = false; }, none, true,
         [](FormFile& f) { f.form.requiresBsaArchive = true; }, Fill({}, false, false, true)},
        {"4: without one the box stays ticked",
         [](FormFile& f) {
             f.form.requiresMorrowind = false;
             f.form.requiresBsaArchive = true;
         },
         none,
         false,
         [](FormFile&) {},
         {}},
        {"5: empty fields take the header, CR LF, blanks at the end cut",
         [](FormFile& f) { f.form.requiresMorrowind = false; },
         {0, 0, "Anna\nBob \r\n", "One\rTwo\n\t \r\n", {}},
         false,
         [](FormFile& f) {
             f.form.description = "One\r\nTwo";
             f.form.authors = f.record.authorName = "Anna\r\nBob";
         },
         Fill({}, true, true)},
        {"5: typed fields keep what was typed",
         [](FormFile& f) {
             f = Filled();
             f.form.requiresMorrowind = false;
         },
         {0, 0, "Anna", "Text", {}},
         false,
         [](FormFile&) {},
         {}},
        {"5: only the empty author name",
         [](FormFile& f) {
             f = Filled();
             f.form.requiresMorrowind = false;
             f.record.authorName.clear();
         },
         {0, 0, "Anna", "", {}},
         false,
         [](FormFile& f) { f.record.authorName = "Anna"; },
         Fill({}, false, true)},
        {"5: a header of blanks takes nothing",
         [](FormFile& f) { f.form.requiresMorrowind = false; },
         {0, 0, " \r\n", "\n", {}},
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
        // 6: nothing else changes; FormFile compares every field.
        EXPECT_EQ(ApplyPluginHeader(form, c.header, "/mods/Mod.esp", c.bsaBeside), c.fill) << c.what;
        EXPECT_EQ(form, expected) << c.what;
    }
}

TEST(PluginFileName, TheNameAfterTheFolderInWindows1251) {
    EXPECT_EQ(PluginFileName("/моды/Маяк.esp"), Text("Маяк.esp"_cp));
    EXPECT_EQ(PluginFileName("Mod.omwaddon"), "Mod.omwaddon");
#ifdef _WIN32
    EXPECT_EQ(PluginFileName("C:\\mods/sub\\Mod.esm"), "Mod.esm");
#endif
}

TEST(BsaBesidePlugin, TheArchiveInAnyCase) {
    ScratchFolder folder;
    WriteFile(folder / "Lighthouse.esp", "");
    WriteFile(folder / "LIGHTHOUSE.bsa", "");
    WriteFile(folder / "Other.esp.bsa", "");
    const std::pair<std::string, bool> cases[] = {
        {"Lighthouse.esp", true},
        {"lighthouse.omwaddon", true},
        {"Other.esp", false},
        {"Other", false},
    };
    for (const auto& [name, beside] : cases) EXPECT_EQ(BsaBesidePlugin(folder / name), beside) << name;
    EXPECT_FALSE(BsaBesidePlugin(folder / "nowhere" + kPathSeparator + "Lighthouse.esp"));
}

TEST(PluginFillNote, SaysWhatWasTaken) {
    const std::pair<PluginFill, const char*> cases[] = {
        {{}, ""},
        {Fill({"Tribunal.esm", "Bloodmoon.esm", "Tamriel_Data.esm"}, true, true),
         "Из заголовка плагина: требует Tribunal.esm, Bloodmoon.esm, Tamriel_Data.esm; описание; автор"},
        {Fill({}, false, true, true), "Из заголовка плагина: архив BSA; автор"},
        {Fill({"Morrowind.esm"}), "Из заголовка плагина: требует Morrowind.esm"},
    };
    for (const auto& [fill, text] : cases) EXPECT_EQ(cp1251::ToUtf8(PluginFillNote(fill)), text);
}

}  // namespace
