#pragma once
// The preview window's title and its list's captions, on every system.

#include <string_view>

#include "text/Cp1251.h"

inline constexpr std::string_view kPreviewTitle = "Предпросмотр"_cp;
inline constexpr std::string_view kChecksTitle = "Проверки перед сохранением"_cp;
inline constexpr std::string_view kNoProblems = "Замечаний нет"_cp;
// The button beside the list that takes the joined-lines checks' offer.
inline constexpr std::string_view kKeepLineBreaksOffer = "Включить «Сохранять переносы строк»"_cp;
