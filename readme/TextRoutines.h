#pragma once
// The readme's text routines: pure functions over Windows-1251 byte strings.

#include "text/Text.h"

// A single line break becomes one blank, an empty line "<br>".
Text ConvertTextToHtml(std::string_view text);
// The same rule, appended to out (lets the readme grow one buffer).
void AppendTextAsHtml(Text& out, std::string_view text);

// The form's option that keeps the lines as typed: every line break becomes
// "<br>", an empty line two of them. CR LF is one break; a CR or LF alone is
// one too.
Text ConvertTextKeepingBreaks(std::string_view text);
void AppendTextKeepingBreaks(Text& out, std::string_view text);

// The part of a path after its last separator, or the whole path.
Text ScreenshotFileName(std::string_view path);
std::string_view ScreenshotFileNameView(std::string_view path);

// The plug-in's file name with its last extension replaced by ".bsa".
Text BsaArchiveName(std::string_view pluginFile);
// The name BsaArchiveName keeps, before ".bsa".
std::string_view BsaArchiveStem(std::string_view pluginFile);
