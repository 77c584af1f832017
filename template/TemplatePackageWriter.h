#pragma once
// Lays out a template package the way the loader reads it: magic, header,
// directory, then each entry's data at a multiple of 16 with zeros between,
// and at least one NUL after every text entry.

#include <string>
#include <vector>

struct TemplateSourceEntry {
    std::string name;  // at most 15 bytes
    std::vector<unsigned char> data;
    bool isText = false;  // needs a NUL after it
};

// Throws std::invalid_argument for a name too long or more than 16 entries.
std::vector<unsigned char> WriteTemplatePackage(const std::vector<TemplateSourceEntry>& entries);
