#pragma once
// The program's embedded resources that only the desktop program needs.

#include <QIcon>
#include <QImage>
#include <span>

// The program icon: 16-colour images of 32 x 32 and 16 x 16.
QIcon ProgramIcon();
// An image of this format ("png", "bmp") from bytes; null when they are
// none. Only the format's own reader runs: guessing would load every image
// plug-in Qt has.
QImage ImageFromBytes(std::span<const unsigned char> bytes, const char* format);
