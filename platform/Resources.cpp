#include "platform/Resources.h"

#include <QPixmap>
#include <cstddef>

// Generated from resources/icon/ at build time.
extern const unsigned char kProgramIcon16[];
extern const std::size_t kProgramIcon16Size;
extern const unsigned char kProgramIcon32[];
extern const std::size_t kProgramIcon32Size;

namespace {
QPixmap FromBytes(const unsigned char* bytes, std::size_t size) {
    QPixmap pixmap;
    pixmap.loadFromData(bytes, static_cast<uint>(size), "PNG");
    return pixmap;
}
}  // namespace

QIcon ProgramIcon() {
    QIcon icon;
    icon.addPixmap(FromBytes(kProgramIcon32, kProgramIcon32Size));
    icon.addPixmap(FromBytes(kProgramIcon16, kProgramIcon16Size));
    return icon;
}
