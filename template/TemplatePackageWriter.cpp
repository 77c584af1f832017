#include "template/TemplatePackageWriter.h"

#include <cstdint>
#include <cstring>
#include <stdexcept>

#include "template/TemplatePackage.h"

namespace {

constexpr char kMagic[16] = "QSHTemplateFile";
constexpr std::size_t kAlign = 16;

std::size_t AlignUp(std::size_t n) { return (n + kAlign - 1) / kAlign * kAlign; }

void PutU32(std::vector<unsigned char>& out, std::size_t at, std::size_t value) {
    if (value > UINT32_MAX) throw std::invalid_argument("package larger than 4 GiB");
    for (int i = 0; i < 4; ++i) out[at + static_cast<std::size_t>(i)] = static_cast<unsigned char>(value >> (8 * i));
}

}  // namespace

std::vector<unsigned char> WriteTemplatePackage(const std::vector<TemplateSourceEntry>& entries) {
    if (entries.size() > static_cast<std::size_t>(TemplatePackage::kMaxEntries))
        throw std::invalid_argument("a package holds at most 16 entries");

    const std::size_t directoryEnd = TemplatePackage::kHeaderSize + TemplatePackage::kEntrySize * entries.size();
    std::vector<std::size_t> offsets;
    std::size_t end = directoryEnd;
    for (const TemplateSourceEntry& entry : entries) {
        if (entry.name.empty() || entry.name.size() > 15)
            throw std::invalid_argument("entry name must have 1 to 15 bytes: " + entry.name);
        const std::size_t offset = AlignUp(end);
        offsets.push_back(offset);
        end = offset + entry.data.size() + (entry.isText ? 1 : 0);
    }
    const std::size_t total = AlignUp(end);

    std::vector<unsigned char> out(total, 0);
    std::memcpy(out.data(), kMagic, sizeof kMagic);
    PutU32(out, 16, 1);
    PutU32(out, 20, entries.size());
    PutU32(out, 24, total);
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::size_t slot = TemplatePackage::kHeaderSize + TemplatePackage::kEntrySize * i;
        std::memcpy(out.data() + slot, entries[i].name.data(), entries[i].name.size());
        PutU32(out, slot + 16, offsets[i]);
        PutU32(out, slot + 20, entries[i].data.size());
        if (!entries[i].data.empty())
            std::memcpy(out.data() + offsets[i], entries[i].data.data(), entries[i].data.size());
    }
    return out;
}
