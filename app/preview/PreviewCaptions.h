#pragma once
// The preview window's title and its list's captions, on every system.

#include <string_view>

#include "formats/ReleaseTexts.h"
#include "text/Cp1251.h"

inline constexpr std::string_view kPreviewTitle = "Предпросмотр"_cp;
inline constexpr std::string_view kChecksTitle = "Проверки перед сохранением"_cp;
inline constexpr std::string_view kNoProblems = "Замечаний нет"_cp;
// The button beside the list that takes the joined-lines checks' offer.
inline constexpr std::string_view kKeepLineBreaksOffer = "Включить «Сохранять переносы строк»"_cp;

// The release's texts the preview shows beside the page, in the order both
// systems offer them.
struct ShownFormat {
    ReleaseFormat format;
    std::string_view caption;
};
inline constexpr std::string_view kPageCaption = "Страница"_cp;
inline constexpr ShownFormat kTextFormats[] = {
    {ReleaseFormat::PlainText, "Текст"_cp},
    {ReleaseFormat::BBCode, "BBCode"},
    {ReleaseFormat::Markdown, "Markdown"},
};
// Puts the shown text on the clipboard.
inline constexpr std::string_view kCopyText = "Копировать"_cp;
