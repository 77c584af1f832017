#include "platform/DialogUnits.h"

#include <cstdlib>

int MulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    const long long product = static_cast<long long>(a) * b;
    const long long half = std::llabs(static_cast<long long>(c)) / 2;
    const bool negative = (product < 0) != (c < 0);
    const long long magnitude = (std::llabs(product) + half) / std::llabs(static_cast<long long>(c));
    return static_cast<int>(negative ? -magnitude : magnitude);
}

PixelEdges MapDialogUnits(const DluRect& rect, const DialogBaseUnits& units) {
    return {MulDiv(rect.x, units.x, 4), MulDiv(rect.y, units.y, 8), MulDiv(rect.x + rect.width, units.x, 4),
            MulDiv(rect.y + rect.height, units.y, 8)};
}
