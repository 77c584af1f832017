#pragma once
// What the program tells the user, and how: the window shows a message box,
// the renderer prints a line. Texts are Windows-1251.

#include <functional>
#include <string_view>

#include "text/Cp1251.h"

enum class MessageIcon { None, Exclamation };

using ShowMessage = std::function<void(std::string_view text, MessageIcon icon)>;

// The built-in template package cannot be loaded; the program goes on
// without it.
inline constexpr std::string_view kTemplateNotLoaded = "Error load template";

// Save's file work. The picture's name and the screenshot's number follow
// the texts that end in a blank or "скриншота ".
inline constexpr std::string_view kReadmeNotCreated = "Ошибка открытия файла для записи"_cp;
inline constexpr std::string_view kPictureNotCreated = "Ошибка открытия файла "_cp;
inline constexpr std::string_view kScreenshotNotOpened = "Ошибка открытия файла скриншота "_cp;
inline constexpr std::string_view kScreenshotNotCreated = "Ошибка открытия файла для записи скриншота "_cp;

// The site record.
inline constexpr std::string_view kSizeMissing = "Не указан размер архива."_cp;
inline constexpr std::string_view kSizeNotDigits = "Размер архива должен состоять только из цифр."_cp;
inline constexpr std::string_view kGradeInvalid = "Не выбрана оценка."_cp;
inline constexpr std::string_view kRecordNotCreated = "Не удалось создать файл для записи базы данных."_cp;
