#pragma once
// The platform layer's the conversion between the system's text and the program's.
// Pages include this; the build's platform layer provides it.

#include "platform/qt/QtText.h"
