#pragma once
// The platform layer's pop-up menus drawn from menu tables.
// Pages include this; the build's platform layer provides it.

#include "platform/qt/Menus.h"
