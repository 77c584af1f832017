#pragma once
// A picture for CDialog::SetPicture. Each system's folder defines it.

#include <memory>
#include <span>

#include "platform/DialogUnits.h"

class CBitmap {
public:
    CBitmap();
    CBitmap(const CBitmap&) = delete;
    CBitmap& operator=(const CBitmap&) = delete;
    ~CBitmap();

    // False, and no picture, for bytes that are not a BMP file.
    bool Load(std::span<const unsigned char> bmp);
    bool isNull() const;
    PixelSize size() const;

    struct Native;
    const Native& native() const { return *m_native; }

private:
    std::unique_ptr<Native> m_native;
};

// What the system needs before the first window (Windows: the common
// controls); false when it is missing.
bool InitControls();
