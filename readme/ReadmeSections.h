#pragma once
// The readme's sections in their order and under their conditions, told to a
// writer. The readme and the release's other texts all read the form through
// this one walk, so a section cannot differ between them.

#include <string_view>

#include "readme/ReadmeForm.h"
#include "text/Cp1251.h"

class SectionWriter {
public:
    virtual ~SectionWriter() = default;
    // The heading as Windows-1251 text; the plug-in's name as typed first.
    virtual void Open(std::string_view heading) = 0;
    virtual void Close() = 0;
    // Readme markup: the generator's literals and the form's one-line values
    // (the plug-in's file name), Windows-1251.
    virtual void Markup(std::string_view html) = 0;
    // A fragment of the template package, by name.
    virtual void Fragment(std::string_view name) = 0;
    // A multi-line text of the user's, Windows-1251 as typed.
    virtual void UserText(std::string_view text) = 0;
    // The index-th shown screenshot (0 to 2); its file's own name, UTF-8.
    virtual void Screenshot(int index, std::string_view name) = 0;
};

// The archive note's fixed pieces, around the archive's name and the
// site's link: for the readme and for reading it back.
namespace archive_note {
inline constexpr std::string_view kArchiveNote1 = "Важно!!!<br>Для регистрации игрового архива "_cp;
inline constexpr std::string_view kArchiveNote3 =
    ", содержащего модели и текстуры воспользуйтесь программой <b>BSAReg</b> (скачать можно например с сайта"_cp;
inline constexpr std::string_view kArchiveNote5 =
    "или откройте в блокноте файл <b>morrowind.ini</b> и в блоке <b>[Archives]</b>, который обычно "
    "расположен в самом конце файла перед блоком <b>[Game Files]</b>, и впишите его вручную."_cp;
inline constexpr std::string_view kArchiveNote6 =
    "<br>Пример из файла Morrowind.ini:<br>[Archives]<br>Archive 0=Tribunal.bsa<br>Archive "
    "1=Bloodmoon.bsa<br>Archive 2=BetterBodies2.0_1C.bsa<br>Archive 3="_cp;
}  // namespace archive_note

// Every section between the title and the footer.
void WriteReadmeSections(const ReadmeForm& form, SectionWriter& writer);
