#pragma once
// What the readers share: the packages a readme is read against and the
// inverse of the readme's file-name rule.

#include <span>
#include <string_view>

#include "text/Text.h"

class TemplatePackage;

// The built-in package, then the same with the background folder spelled
// "Files/images/", as readmes of older packages spell it. Empty when the
// built-in package does not load.
std::span<const TemplatePackage* const> ReadablePackages();

// The UTF-8 name whose Windows-1251 form, with "&#N;" for each character the
// code page lacks, is name. A reference the encoder would not have written
// (to a character the code page holds, with leading zeros, to no character)
// stays as its own bytes.
FilePath DecodeFileName(std::string_view name);
