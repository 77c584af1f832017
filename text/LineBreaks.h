#pragma once
// Line breaks as Windows edit controls and the readme keep them.

#include <string>
#include <string_view>

// Every lone CR, lone LF and CR LF as one CR LF; other bytes as they are,
// so it serves UTF-8 and Windows-1251 alike.
std::string WithCrLf(std::string_view text);
