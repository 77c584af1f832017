#pragma once
// The one place where the widgets' Unicode meets the program's Windows-1251.

#include <QString>
#include <string_view>

#include "text/Text.h"

// Windows-1251 bytes to the widgets' Unicode.
QString ToQString(std::string_view text);
// The widgets' Unicode to Windows-1251; characters outside the code page
// become "&#N;".
Text FromQString(const QString& text);

// Multi-line controls hold one line break per paragraph; the program's texts
// hold CR LF. A lone CR or LF also counts as one line break.
QString ToQStringMultiLine(std::string_view text);
Text FromQStringMultiLine(const QString& text);
