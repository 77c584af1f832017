#pragma once
// The program's embedded resources that only the desktop program needs.

#include <QIcon>

// The program icon: 16-colour images of 32 x 32 and 16 x 16.
QIcon ProgramIcon();
