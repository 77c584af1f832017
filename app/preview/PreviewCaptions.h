#pragma once
// The preview window's title and its list's captions, on every system.

#include <string_view>

#include "text/Cp1251.h"

inline constexpr std::string_view kPreviewTitle = "Предпросмотр"_cp;
inline constexpr std::string_view kChecksTitle = "Проверки перед сохранением"_cp;
inline constexpr std::string_view kNoProblems = "Замечаний нет"_cp;
