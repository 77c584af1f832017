#pragma once
// The texts and the form the benches share.

#include <string>
#include <string_view>

#include "readme/ReadmeForm.h"
#include "text/Cp1251.h"

namespace bench {

// Lines of about 60 characters, an empty line after every fifth.
inline std::string TypicalText(std::size_t size) {
    const std::string_view words[] = {"Морровинд"_cp, "плагин", "Balmora", "квест"_cp, "the",
                                      "добавляет"_cp, "new",    "дом"_cp,  "armor",    "в"_cp};
    std::string text;
    std::size_t line = 0, lines = 0, w = 0;
    while (text.size() < size) {
        const std::string_view word = words[w++ % std::size(words)];
        text += word;
        line += word.size();
        if (line >= 58) {
            text += "\r\n";
            line = 0;
            if (++lines % 5 == 0) text += "\r\n";
        } else {
            text += ' ';
        }
    }
    text.resize(size);
    return text;
}

// Every text of the form size bytes long, every section written.
inline ReadmeForm EveryTextForm(std::size_t size) {
    ReadmeForm form = NewReadmeForm();
    const std::string text = TypicalText(size);
    for (Text* t : {&form.pluginName, &form.pluginFile, &form.description, &form.otherRequirements, &form.installText,
                    &form.uninstallText, &form.howToPlay, &form.authors, &form.note, &form.warningText})
        *t = text;
    form.requiresTribunal = form.requiresBloodmoon = form.requiresBsaArchive = form.requiresOther = true;
    form.installOther = form.uninstallOther = form.howToPlayEnabled = form.noteEnabled = form.warningOther = true;
    form.screenshotCount = 3;
    // A file name is UTF-8, as the window gives it.
    const std::string name = cp1251::ToUtf8(text);
    form.screenshotPath = {name, name, name};
    return form;
}

}  // namespace bench
