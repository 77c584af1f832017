#pragma once
// The main window's one working buffer: Open reads text files into it and
// Save copies screenshots through it.

#include <cstddef>

inline constexpr std::size_t kTextBufferSize = 32768;
